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
    explicit ERegFileError(const QString& message);
    QString Message() const { return QString::fromUtf8(what()); }
};

// A value as it passes through the store: empty, null, 16/32-bit integer, on/off, single or
// double floating point, currency, date, or text.
class TTaggedValue {
public:
    enum TValueKind {
        vkEmpty,
        vkNull,
        vkSmallint,
        vkInteger,
        vkBoolean,
        vkSingle,
        vkDouble,
        vkCurrency,
        vkDate,
        vkString
    };

    TTaggedValue() = default; // empty
    TTaggedValue(bool v);
    TTaggedValue(std::int16_t v);
    TTaggedValue(int v);
    TTaggedValue(float v);
    TTaggedValue(double v);
    TTaggedValue(const QString& v);
    TTaggedValue(const char* v);
    static TTaggedValue Null();
    static TTaggedValue Currency(std::int64_t tenThousandths); // fixed point, 4 decimals
    static TTaggedValue Date(double daysSince18991230);

    TValueKind Kind() const { return kind_; }
    bool IsNull() const { return kind_ == vkNull; }
    bool IsEmpty() const { return kind_ == vkEmpty; }

    // Conversions for callers that want another kind than the stored one.
    bool ToBool() const; // any nonzero number is on; text "true"/"-1"/nonzero number is on
    std::int32_t ToInt() const;
    double ToDouble() const;
    QString ToString() const;
    std::int64_t CurrencyValue() const { return int_; }

    bool operator==(const TTaggedValue& other) const;

private:
    TValueKind kind_ = vkEmpty;
    std::int64_t int_ = 0;
    double real_ = 0;
    QString text_;
};

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
    qm::platform::RegistryStore& Store() { return *store_; }

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

    TTaggedValue ReadValue(const QString& name);
    TTaggedValue ReadValueDefault(const QString& name, const TTaggedValue& def);
    void WriteValue(const QString& name, const TTaggedValue& value);

private:
    void Test(long code);
    qm::platform::RegHandle RootHandle() const;

    std::shared_ptr<qm::platform::RegistryStore> store_;
    TRootKey rootKey_ = hkCurrentUser;
    QString key_;
    qm::platform::RegHandle openKey_ = 0;
    std::int32_t lastError_ = 0;
};
