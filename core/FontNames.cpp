#include "core/FontNames.h"

#include <stdexcept>
#include <utility>

std::string& FontNames::TextOfNameID(unsigned nameID) {
    return const_cast<std::string&>(std::as_const(*this).TextOfNameID(nameID));
}

const std::string& FontNames::TextOfNameID(unsigned nameID) const {
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

std::size_t CapacityOfNameID(unsigned nameID) {
    static constexpr std::size_t capacities[8] = {
        FontNames::CopyrightCapacity,  FontNames::FamilyNameCapacity, FontNames::StyleCapacity,
        FontNames::FontIDCapacity,     FontNames::FullNameCapacity,   FontNames::VersionCapacity,
        FontNames::PostscriptCapacity, FontNames::TradeMarkCapacity};
    if (nameID > 7)
        throw std::out_of_range("name ID above 7");
    return capacities[nameID];
}
