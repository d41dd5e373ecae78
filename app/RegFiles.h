#pragma once

// TRegFile: the settings component. Keeps a key below a root and reads and writes tagged
// values there, opening and closing the key around every operation.

#include "platform/RegistryStore.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>
#include <stdexcept>

class ERegFileError : public std::runtime_error {
public:
    // file and reason: the settings file and the system's words, where a system call failed.
    explicit ERegFileError(const QString& message, QString file = {}, QString reason = {});
    QString message() const { return QString::fromUtf8(what()); }
    QString file() const { return file_; }
    QString reason() const { return reason_; }

private:
    QString file_;
    QString reason_;
};

namespace qm::app {

// A value as it passes through the store: empty, null, 16/32-bit integer, on/off, single or
// double floating point, currency, date, or text.
class TaggedValue {
public:
    enum class Kind {
        Empty,
        Null,
        Smallint,
        Integer,
        Boolean,
        Single,
        Double,
        Currency,
        Date,
        String
    };

    TaggedValue() = default; // empty
    TaggedValue(bool v);
    TaggedValue(std::int16_t v);
    TaggedValue(int v);
    TaggedValue(float v);
    TaggedValue(double v);
    TaggedValue(const QString& v);
    TaggedValue(const char* v);
    static TaggedValue null();
    static TaggedValue currency(std::int64_t tenThousandths); // fixed point, 4 decimals
    static TaggedValue date(double daysSince18991230);

    Kind kind() const { return kind_; }
    bool isNull() const { return kind_ == Kind::Null; }
    bool isEmpty() const { return kind_ == Kind::Empty; }

    // Conversions for callers that want another kind than the stored one.
    bool toBool() const; // any nonzero number is on; text "true"/"-1"/nonzero number is on
    std::int32_t toInt() const;
    double toDouble() const;
    QString toString() const;
    std::int64_t currencyValue() const { return int_; }

    bool operator==(const TaggedValue& other) const;

private:
    Kind kind_ = Kind::Empty;
    std::int64_t int_ = 0;
    double real_ = 0;
    QString text_;
};

} // namespace qm::app

class TRegFile : public QObject {
    Q_OBJECT
    Q_PROPERTY(TRootKey RootKey READ RootKey WRITE setRootKey)
    Q_PROPERTY(QString Key READ Key WRITE setKey)

public:
    enum TRootKey {
        hkClassesRoot,
        hkCurrentUser,
        hkLocalMachine,
        hkUsers,
        hkCurrentConfig,
        hkDynData
    };
    Q_ENUM(TRootKey)

    // Without a store, the files live in the default settings folder.
    explicit TRegFile(QObject* owner = nullptr,
                      std::shared_ptr<qm::platform::RegistryStore> store = {});
    ~TRegFile() override;

    TRootKey RootKey() const { return rootKey_; }
    void setRootKey(TRootKey root) { rootKey_ = root; }
    QString Key() const { return key_; }
    void setKey(const QString& key) { key_ = key; }
    std::int32_t LastError() const { return lastError_; }
    qm::platform::RegistryStore& store() { return *store_; }

    virtual bool OpenKey(const QString& path, bool openOnly);
    virtual void CloseKey();

    QString KeyPath(const QString& sub) const;
    bool KeyExists(const QString& sub);
    bool ValueExists(const QString& sub, const QString& name);
    // Data size in bytes, -1 when the value cannot be queried; never raises.
    int GetDataSize(const QString& name, std::uint32_t* regType = nullptr);
    std::uint32_t ReadData(const QString& name, void* buffer, int size);
    void WriteData(const QString& name, const void* buffer, std::uint32_t regType, int size);
    static void SplitValueName(const QString& valueName, QString& sub, QString& name);

    qm::app::TaggedValue ReadValue(const QString& name);
    qm::app::TaggedValue ReadValueDefault(const QString& name, const qm::app::TaggedValue& def);
    void WriteValue(const QString& name, const qm::app::TaggedValue& value);

private:
    void check(long code);
    qm::platform::RegHandle rootHandle() const;

    std::shared_ptr<qm::platform::RegistryStore> store_;
    TRootKey rootKey_ = hkCurrentUser;
    QString key_;
    qm::platform::RegHandle openKey_ = 0;
    std::int32_t lastError_ = 0;
};
