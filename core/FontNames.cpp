#include "core/FontNames.h"

#include <stdexcept>
#include <utility>

std::string& FontNames::textOfNameID(unsigned nameID) {
    return const_cast<std::string&>(std::as_const(*this).textOfNameID(nameID));
}

const std::string& FontNames::textOfNameID(unsigned nameID) const {
    switch (nameID) {
    case 0:
        return Copyright;
    case 1:
        return FamilyName;
    case 2:
        return Style;
    case 3:
        return FontID;
    case 4:
        return FullName;
    case 5:
        return Version;
    case 6:
        return Postscript;
    case 7:
        return TradeMark;
    }
    throw std::out_of_range("name ID above 7");
}

std::size_t capacityOfNameID(unsigned nameID) {
    static constexpr std::size_t kCapacities[8] = {
        FontNames::kCopyrightCapacity,  FontNames::kFamilyNameCapacity, FontNames::kStyleCapacity,
        FontNames::kFontIDCapacity,     FontNames::kFullNameCapacity,   FontNames::kVersionCapacity,
        FontNames::kPostscriptCapacity, FontNames::kTradeMarkCapacity};
    if (nameID > 7)
        throw std::out_of_range("name ID above 7");
    return kCapacities[nameID];
}
