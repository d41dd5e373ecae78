#include "app/RegFiles.h"

#include "platform/FileNames.h"

#include <cmath>
#include <cstring>
#include <vector>

using namespace qm::platform;
using qm::app::TaggedValue;

namespace {

// The 16-byte record a floating, currency or date value is stored as: a 16-bit type tag,
// six reserved bytes, then eight bytes of data, all little-endian.
constexpr std::uint16_t kTagSmallint = 2;
constexpr std::uint16_t kTagInteger = 3;
constexpr std::uint16_t kTagSingle = 4;
constexpr std::uint16_t kTagDouble = 5;
constexpr std::uint16_t kTagCurrency = 6;
constexpr std::uint16_t kTagDate = 7;
constexpr std::uint16_t kTagBoolean = 11;

void putLE(std::uint8_t* out, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

std::uint64_t getLE(const std::uint8_t* in, int bytes) {
    std::uint64_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        v = (v << 8) | in[i];
    }
    return v;
}

template <typename To, typename From> To bitCast(From from) {
    static_assert(sizeof(To) == sizeof(From));
    To to;
    std::memcpy(&to, &from, sizeof to);
    return to;
}

std::vector<std::uint8_t> packRecord(const TaggedValue& v) {
    std::vector<std::uint8_t> rec(16, 0);
    switch (v.kind()) {
    case TaggedValue::Kind::Single:
        putLE(rec.data(), kTagSingle, 2);
        putLE(rec.data() + 8, bitCast<std::uint32_t>(static_cast<float>(v.toDouble())), 4);
        break;
    case TaggedValue::Kind::Double:
        putLE(rec.data(), kTagDouble, 2);
        putLE(rec.data() + 8, bitCast<std::uint64_t>(v.toDouble()), 8);
        break;
    case TaggedValue::Kind::Currency:
        putLE(rec.data(), kTagCurrency, 2);
        putLE(rec.data() + 8, static_cast<std::uint64_t>(v.currencyValue()), 8);
        break;
    default: // Kind::Date
        putLE(rec.data(), kTagDate, 2);
        putLE(rec.data() + 8, bitCast<std::uint64_t>(v.toDouble()), 8);
        break;
    }
    return rec;
}

// Only plain-data kinds are taken from a stored record; anything else reads as null.
TaggedValue unpackRecord(const std::uint8_t* rec) {
    const std::uint8_t* d = rec + 8;
    switch (getLE(rec, 2)) {
    case kTagSmallint:
        return TaggedValue(static_cast<std::int16_t>(getLE(d, 2)));
    case kTagInteger:
        return TaggedValue(static_cast<int>(static_cast<std::int32_t>(getLE(d, 4))));
    case kTagBoolean:
        return TaggedValue(getLE(d, 2) != 0);
    case kTagSingle:
        return TaggedValue(bitCast<float>(static_cast<std::uint32_t>(getLE(d, 4))));
    case kTagDouble:
        return TaggedValue(bitCast<double>(getLE(d, 8)));
    case kTagCurrency:
        return TaggedValue::currency(static_cast<std::int64_t>(getLE(d, 8)));
    case kTagDate:
        return TaggedValue::date(bitCast<double>(getLE(d, 8)));
    default:
        return TaggedValue::null();
    }
}

constexpr RegHandle kRootHandles[] = {kHkeyClassesRoot, kHkeyCurrentUser,   kHkeyLocalMachine,
                                      kHkeyUsers,       kHkeyCurrentConfig, kHkeyDynData};

} // namespace

// ---- ERegFileError ----

ERegFileError::ERegFileError(const QString& message, QString file, QString reason)
    : std::runtime_error(message.toStdString()), file_(std::move(file)),
      reason_(std::move(reason)) {}

// ---- TaggedValue ----

TaggedValue::TaggedValue(bool v) : kind_(Kind::Boolean), int_(v ? -1 : 0) {}
TaggedValue::TaggedValue(std::int16_t v) : kind_(Kind::Smallint), int_(v) {}
TaggedValue::TaggedValue(int v) : kind_(Kind::Integer), int_(v) {}
TaggedValue::TaggedValue(float v) : kind_(Kind::Single), real_(v) {}
TaggedValue::TaggedValue(double v) : kind_(Kind::Double), real_(v) {}
TaggedValue::TaggedValue(const QString& v) : kind_(Kind::String), text_(v) {}
TaggedValue::TaggedValue(const char* v) : kind_(Kind::String), text_(QString::fromUtf8(v)) {}

TaggedValue TaggedValue::null() {
    TaggedValue v;
    v.kind_ = Kind::Null;
    return v;
}

TaggedValue TaggedValue::currency(std::int64_t tenThousandths) {
    TaggedValue v;
    v.kind_ = Kind::Currency;
    v.int_ = tenThousandths;
    return v;
}

TaggedValue TaggedValue::date(double days) {
    TaggedValue v;
    v.kind_ = Kind::Date;
    v.real_ = days;
    return v;
}

bool TaggedValue::toBool() const {
    switch (kind_) {
    case Kind::Smallint:
    case Kind::Integer:
    case Kind::Boolean:
    case Kind::Currency:
        return int_ != 0;
    case Kind::Single:
    case Kind::Double:
    case Kind::Date:
        return real_ != 0;
    case Kind::String: {
        if (text_.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) {
            return true;
        }
        bool ok = false;
        const double d = text_.toDouble(&ok);
        return ok && d != 0;
    }
    default:
        return false;
    }
}

std::int32_t TaggedValue::toInt() const {
    switch (kind_) {
    case Kind::Smallint:
    case Kind::Integer:
    case Kind::Boolean:
        return static_cast<std::int32_t>(int_);
    case Kind::Currency:
        return static_cast<std::int32_t>(std::llround(static_cast<double>(int_) / 10000.0));
    case Kind::Single:
    case Kind::Double:
    case Kind::Date:
        return std::isfinite(real_) && std::fabs(real_) < 2147483647.0
                   ? static_cast<std::int32_t>(std::lround(real_))
                   : 0;
    case Kind::String:
        return text_.trimmed().toInt();
    default:
        return 0;
    }
}

double TaggedValue::toDouble() const {
    switch (kind_) {
    case Kind::Smallint:
    case Kind::Integer:
    case Kind::Boolean:
        return static_cast<double>(int_);
    case Kind::Currency:
        return static_cast<double>(int_) / 10000.0;
    case Kind::Single:
    case Kind::Double:
    case Kind::Date:
        return real_;
    case Kind::String:
        return text_.trimmed().toDouble();
    default:
        return 0;
    }
}

QString TaggedValue::toString() const {
    switch (kind_) {
    case Kind::Smallint:
    case Kind::Integer:
        return QString::number(int_);
    case Kind::Boolean:
        return int_ ? QStringLiteral("True") : QStringLiteral("False");
    case Kind::Currency:
        return QString::number(static_cast<double>(int_) / 10000.0, 'f', 4);
    case Kind::Single:
    case Kind::Double:
    case Kind::Date:
        return QString::number(real_);
    case Kind::String:
        return text_;
    default:
        return {};
    }
}

bool TaggedValue::operator==(const TaggedValue& other) const {
    if (kind_ != other.kind_) {
        return false;
    }
    switch (kind_) {
    case Kind::Single:
    case Kind::Double:
    case Kind::Date:
        return real_ == other.real_;
    case Kind::String:
        return text_ == other.text_;
    default:
        return int_ == other.int_;
    }
}

// ---- TRegFile ----

TRegFile::TRegFile(QObject* owner, std::shared_ptr<RegistryStore> store)
    : QObject(owner), store_(store ? std::move(store) : std::make_shared<RegistryStore>()) {}

TRegFile::~TRegFile() {
    if (openKey_) {
        store_->closeKey(openKey_);
    }
}

RegHandle TRegFile::rootHandle() const {
    return kRootHandles[rootKey_];
}

void TRegFile::check(long code) {
    lastError_ = static_cast<std::int32_t>(code);
    if (code == 0)
        return;
    const QString message = QString::asprintf("Reg Error: %8.8X", static_cast<unsigned>(code));
    if (const auto failure = store_->lastFailure()) {
        throw ERegFileError(message, fileNameText(failure->file.string()),
                            QString::fromLocal8Bit(std::strerror(failure->errnoValue)));
    }
    throw ERegFileError(message);
}

bool TRegFile::OpenKey(const QString& path, bool openOnly) {
    CloseKey(); // a key left open would otherwise leak its handle
    const std::string p = path.toStdString();
    RegHandle h = 0;
    if (openOnly || path.isEmpty() || rootKey_ == hkDynData) {
        const bool opened = store_->openKey(rootHandle(), p, &h) == kErrorSuccess;
        if (opened) {
            openKey_ = h;
        } else if (!openOnly) {
            throw ERegFileError(QStringLiteral("Can't open a Key"));
        }
        return opened;
    }
    check(store_->createKey(rootHandle(), p, &h));
    openKey_ = h;
    return true;
}

void TRegFile::CloseKey() {
    if (openKey_) {
        const RegHandle h = openKey_;
        openKey_ = 0;
        check(store_->closeKey(h));
    }
}

QString TRegFile::KeyPath(const QString& sub) const {
    QString path = key_;
    if (!sub.isEmpty()) {
        if (!key_.isEmpty()) {
            path += QLatin1Char('\\');
        }
        path += sub;
    }
    return path;
}

bool TRegFile::KeyExists(const QString& sub) {
    const bool opened = OpenKey(KeyPath(sub), true);
    if (opened) {
        CloseKey();
    }
    return opened;
}

bool TRegFile::ValueExists(const QString& sub, const QString& name) {
    if (!OpenKey(KeyPath(sub), true)) {
        return false;
    }
    const bool exists = GetDataSize(name) >= 0;
    CloseKey();
    return exists;
}

int TRegFile::GetDataSize(const QString& name, std::uint32_t* regType) {
    const std::string n = name.toStdString();
    std::uint32_t type = kRegNone;
    std::uint32_t size = 0;
    const long rc =
        store_->queryValue(openKey_, name.isEmpty() ? nullptr : &n, &type, nullptr, &size);
    if (regType) {
        *regType = rc == kErrorSuccess ? type : kRegNone;
    }
    return rc == kErrorSuccess ? static_cast<int>(size) : -1;
}

std::uint32_t TRegFile::ReadData(const QString& name, void* buffer, int size) {
    const std::string n = name.toStdString();
    std::uint32_t type = kRegNone;
    auto capacity = static_cast<std::uint32_t>(size < 0 ? 0 : size);
    check(store_->queryValue(openKey_, name.isEmpty() ? nullptr : &n, &type,
                             static_cast<std::uint8_t*>(buffer), &capacity));
    return type;
}

void TRegFile::WriteData(const QString& name, const void* buffer, std::uint32_t regType, int size) {
    const std::string n = name.toStdString();
    check(store_->setValue(openKey_, name.isEmpty() ? nullptr : &n, regType,
                           static_cast<const std::uint8_t*>(buffer),
                           static_cast<std::uint32_t>(size < 0 ? 0 : size)));
}

void TRegFile::SplitValueName(const QString& valueName, QString& sub, QString& name) {
    qsizetype i = valueName.size() - 1;
    while (i >= 0) {
        if (valueName[i] == QLatin1Char('\\')) {
            if (i > 0 && valueName[i - 1] == QLatin1Char('\\')) {
                i -= 2; // a doubled backslash belongs to the name
                continue;
            }
            break;
        }
        --i;
    }
    if (i < 0) {
        sub.clear();
        name = valueName;
        return;
    }
    sub = valueName.left(i);
    if (!sub.startsWith(QLatin1Char('\\'))) {
        sub.prepend(QLatin1Char('\\'));
    }
    name = valueName.mid(i + 1);
}

TaggedValue TRegFile::ReadValue(const QString& valueName) {
    TaggedValue result = TaggedValue::null();
    QString sub;
    QString name;
    SplitValueName(valueName, sub, name);
    OpenKey(key_ + sub, false);
    try {
        std::uint32_t type = kRegNone;
        const int size = GetDataSize(name, &type);
        if (size > 0) {
            std::vector<std::uint8_t> data(static_cast<std::size_t>(size));
            type = ReadData(name, data.data(), size);
            switch (type) {
            case kRegSz:
            case kRegExpandSz: {
                const auto* begin = reinterpret_cast<const char*>(data.data());
                result = TaggedValue(QString::fromUtf8(begin, qstrnlen(begin, data.size())));
                break;
            }
            case kRegBinary:
                if (data.size() == 16) {
                    result = unpackRecord(data.data());
                }
                break;
            case kRegDword:
                // Any other size is not a DWORD that can be read safely.
                if (data.size() == 4) {
                    result = TaggedValue(
                        static_cast<int>(static_cast<std::int32_t>(getLE(data.data(), 4))));
                }
                break;
            default:
                break;
            }
        }
    } catch (...) {
        try {
            CloseKey();
        } catch (...) {
        }
        throw;
    }
    CloseKey();
    return result;
}

TaggedValue TRegFile::ReadValueDefault(const QString& name, const TaggedValue& def) {
    TaggedValue value = ReadValue(name);
    return value.isNull() ? def : value;
}

void TRegFile::WriteValue(const QString& valueName, const TaggedValue& value) {
    QString sub;
    QString name;
    SplitValueName(valueName, sub, name);
    OpenKey(key_ + sub, false);
    try {
        std::vector<std::uint8_t> data;
        std::uint32_t type = kRegNone;
        switch (value.kind()) {
        case TaggedValue::Kind::Smallint:
        case TaggedValue::Kind::Integer:
        case TaggedValue::Kind::Boolean:
            type = kRegDword;
            data.resize(4);
            putLE(data.data(), static_cast<std::uint32_t>(value.toInt()), 4);
            break;
        case TaggedValue::Kind::Single:
        case TaggedValue::Kind::Double:
        case TaggedValue::Kind::Currency:
        case TaggedValue::Kind::Date:
            type = kRegBinary;
            data = packRecord(value);
            break;
        case TaggedValue::Kind::String: {
            type = kRegSz;
            const QByteArray text = value.toString().toUtf8();
            data.assign(text.begin(), text.end());
            data.push_back(0);
            break;
        }
        default:
            throw ERegFileError(QStringLiteral("Invalid variant type"));
        }
        WriteData(name, data.data(), type, static_cast<int>(data.size()));
    } catch (...) {
        try {
            CloseKey();
        } catch (...) {
        }
        throw;
    }
    CloseKey();
}
