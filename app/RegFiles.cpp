#include "app/RegFiles.h"

#include <cmath>
#include <cstring>
#include <vector>

using namespace qm::platform;

namespace {

// The 16-byte record a floating, currency or date value is stored as: a 16-bit type tag,
// six reserved bytes, then eight bytes of data, all little-endian.
enum : std::uint16_t {
    varSmallint = 2,
    varInteger = 3,
    varSingle = 4,
    varDouble = 5,
    varCurrency = 6,
    varDate = 7,
    varBoolean = 11
};

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

std::vector<std::uint8_t> packRecord(const TTaggedValue& v) {
    std::vector<std::uint8_t> rec(16, 0);
    switch (v.Kind()) {
    case TTaggedValue::vkSingle:
        putLE(rec.data(), varSingle, 2);
        putLE(rec.data() + 8, bitCast<std::uint32_t>(static_cast<float>(v.ToDouble())), 4);
        break;
    case TTaggedValue::vkDouble:
        putLE(rec.data(), varDouble, 2);
        putLE(rec.data() + 8, bitCast<std::uint64_t>(v.ToDouble()), 8);
        break;
    case TTaggedValue::vkCurrency:
        putLE(rec.data(), varCurrency, 2);
        putLE(rec.data() + 8, static_cast<std::uint64_t>(v.CurrencyValue()), 8);
        break;
    default: // vkDate
        putLE(rec.data(), varDate, 2);
        putLE(rec.data() + 8, bitCast<std::uint64_t>(v.ToDouble()), 8);
        break;
    }
    return rec;
}

// Only plain-data kinds are taken from a stored record; anything else reads as null.
TTaggedValue unpackRecord(const std::uint8_t* rec) {
    const std::uint8_t* d = rec + 8;
    switch (getLE(rec, 2)) {
    case varSmallint:
        return TTaggedValue(static_cast<std::int16_t>(getLE(d, 2)));
    case varInteger:
        return TTaggedValue(static_cast<int>(static_cast<std::int32_t>(getLE(d, 4))));
    case varBoolean:
        return TTaggedValue(getLE(d, 2) != 0);
    case varSingle:
        return TTaggedValue(bitCast<float>(static_cast<std::uint32_t>(getLE(d, 4))));
    case varDouble:
        return TTaggedValue(bitCast<double>(getLE(d, 8)));
    case varCurrency:
        return TTaggedValue::Currency(static_cast<std::int64_t>(getLE(d, 8)));
    case varDate:
        return TTaggedValue::Date(bitCast<double>(getLE(d, 8)));
    default:
        return TTaggedValue::Null();
    }
}

constexpr RegHandle kRootHandles[] = {kHkeyClassesRoot, kHkeyCurrentUser,   kHkeyLocalMachine,
                                      kHkeyUsers,       kHkeyCurrentConfig, kHkeyDynData};

} // namespace

// ---- ERegFileError ----

ERegFileError::ERegFileError(const QString& message) : std::runtime_error(message.toStdString()) {}

// ---- TTaggedValue ----

TTaggedValue::TTaggedValue(bool v) : kind_(vkBoolean), int_(v ? -1 : 0) {}
TTaggedValue::TTaggedValue(std::int16_t v) : kind_(vkSmallint), int_(v) {}
TTaggedValue::TTaggedValue(int v) : kind_(vkInteger), int_(v) {}
TTaggedValue::TTaggedValue(float v) : kind_(vkSingle), real_(v) {}
TTaggedValue::TTaggedValue(double v) : kind_(vkDouble), real_(v) {}
TTaggedValue::TTaggedValue(const QString& v) : kind_(vkString), text_(v) {}
TTaggedValue::TTaggedValue(const char* v) : kind_(vkString), text_(QString::fromUtf8(v)) {}

TTaggedValue TTaggedValue::Null() {
    TTaggedValue v;
    v.kind_ = vkNull;
    return v;
}

TTaggedValue TTaggedValue::Currency(std::int64_t tenThousandths) {
    TTaggedValue v;
    v.kind_ = vkCurrency;
    v.int_ = tenThousandths;
    return v;
}

TTaggedValue TTaggedValue::Date(double days) {
    TTaggedValue v;
    v.kind_ = vkDate;
    v.real_ = days;
    return v;
}

bool TTaggedValue::ToBool() const {
    switch (kind_) {
    case vkSmallint:
    case vkInteger:
    case vkBoolean:
    case vkCurrency:
        return int_ != 0;
    case vkSingle:
    case vkDouble:
    case vkDate:
        return real_ != 0;
    case vkString: {
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

std::int32_t TTaggedValue::ToInt() const {
    switch (kind_) {
    case vkSmallint:
    case vkInteger:
    case vkBoolean:
        return static_cast<std::int32_t>(int_);
    case vkCurrency:
        return static_cast<std::int32_t>(std::llround(static_cast<double>(int_) / 10000.0));
    case vkSingle:
    case vkDouble:
    case vkDate:
        return std::isfinite(real_) && std::fabs(real_) < 2147483647.0
                   ? static_cast<std::int32_t>(std::lround(real_))
                   : 0;
    case vkString:
        return text_.trimmed().toInt();
    default:
        return 0;
    }
}

double TTaggedValue::ToDouble() const {
    switch (kind_) {
    case vkSmallint:
    case vkInteger:
    case vkBoolean:
        return static_cast<double>(int_);
    case vkCurrency:
        return static_cast<double>(int_) / 10000.0;
    case vkSingle:
    case vkDouble:
    case vkDate:
        return real_;
    case vkString:
        return text_.trimmed().toDouble();
    default:
        return 0;
    }
}

QString TTaggedValue::ToString() const {
    switch (kind_) {
    case vkSmallint:
    case vkInteger:
        return QString::number(int_);
    case vkBoolean:
        return int_ ? QStringLiteral("True") : QStringLiteral("False");
    case vkCurrency:
        return QString::number(static_cast<double>(int_) / 10000.0, 'f', 4);
    case vkSingle:
    case vkDouble:
    case vkDate:
        return QString::number(real_);
    case vkString:
        return text_;
    default:
        return {};
    }
}

bool TTaggedValue::operator==(const TTaggedValue& other) const {
    if (kind_ != other.kind_) {
        return false;
    }
    switch (kind_) {
    case vkSingle:
    case vkDouble:
    case vkDate:
        return real_ == other.real_;
    case vkString:
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

RegHandle TRegFile::RootHandle() const {
    return kRootHandles[rootKey_];
}

void TRegFile::Test(long code) {
    lastError_ = static_cast<std::int32_t>(code);
    if (code != 0) {
        throw ERegFileError(QString::asprintf("Reg Error: %8.8X", static_cast<unsigned>(code)));
    }
}

bool TRegFile::OpenKey(const QString& path, bool openOnly) {
    CloseKey(); // a key left open would otherwise leak its handle
    const std::string p = path.toStdString();
    RegHandle h = 0;
    if (openOnly || path.isEmpty() || rootKey_ == hkDynData) {
        const bool opened = store_->openKey(RootHandle(), p, &h) == kErrorSuccess;
        if (opened) {
            openKey_ = h;
        } else if (!openOnly) {
            throw ERegFileError(QStringLiteral("Can't open a Key"));
        }
        return opened;
    }
    Test(store_->createKey(RootHandle(), p, &h));
    openKey_ = h;
    return true;
}

void TRegFile::CloseKey() {
    if (openKey_) {
        const RegHandle h = openKey_;
        openKey_ = 0;
        Test(store_->closeKey(h));
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
    Test(store_->queryValue(openKey_, name.isEmpty() ? nullptr : &n, &type,
                            static_cast<std::uint8_t*>(buffer), &capacity));
    return type;
}

void TRegFile::WriteData(const QString& name, const void* buffer, std::uint32_t regType, int size) {
    const std::string n = name.toStdString();
    Test(store_->setValue(openKey_, name.isEmpty() ? nullptr : &n, regType,
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

TTaggedValue TRegFile::ReadValue(const QString& valueName) {
    TTaggedValue result = TTaggedValue::Null();
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
                result = TTaggedValue(QString::fromUtf8(begin, qstrnlen(begin, data.size())));
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
                    result = TTaggedValue(
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

TTaggedValue TRegFile::ReadValueDefault(const QString& name, const TTaggedValue& def) {
    TTaggedValue value = ReadValue(name);
    return value.IsNull() ? def : value;
}

void TRegFile::WriteValue(const QString& valueName, const TTaggedValue& value) {
    QString sub;
    QString name;
    SplitValueName(valueName, sub, name);
    OpenKey(key_ + sub, false);
    try {
        std::vector<std::uint8_t> data;
        std::uint32_t type = kRegNone;
        switch (value.Kind()) {
        case TTaggedValue::vkSmallint:
        case TTaggedValue::vkInteger:
        case TTaggedValue::vkBoolean:
            type = kRegDword;
            data.resize(4);
            putLE(data.data(), static_cast<std::uint32_t>(value.ToInt()), 4);
            break;
        case TTaggedValue::vkSingle:
        case TTaggedValue::vkDouble:
        case TTaggedValue::vkCurrency:
        case TTaggedValue::vkDate:
            type = kRegBinary;
            data = packRecord(value);
            break;
        case TTaggedValue::vkString: {
            type = kRegSz;
            const QByteArray text = value.ToString().toUtf8();
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
