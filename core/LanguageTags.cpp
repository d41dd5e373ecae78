#include "core/LanguageTags.h"

#include <algorithm>
#include <iterator>

namespace {

struct WindowsLanguage {
    std::uint16_t id;
    const char* tag;
};

// Microsoft language IDs, sorted for the binary search.
constexpr WindowsLanguage kWindowsLanguages[] = {
    {0x0401, "ar-SA"},      {0x0402, "bg-BG"},      {0x0403, "ca-ES"},      {0x0404, "zh-TW"},
    {0x0405, "cs-CZ"},      {0x0406, "da-DK"},      {0x0407, "de-DE"},      {0x0408, "el-GR"},
    {0x0409, "en-US"},      {0x040A, "es-ES"},      {0x040B, "fi-FI"},      {0x040C, "fr-FR"},
    {0x040D, "he-IL"},      {0x040E, "hu-HU"},      {0x040F, "is-IS"},      {0x0410, "it-IT"},
    {0x0411, "ja-JP"},      {0x0412, "ko-KR"},      {0x0413, "nl-NL"},      {0x0414, "nb-NO"},
    {0x0415, "pl-PL"},      {0x0416, "pt-BR"},      {0x0417, "rm-CH"},      {0x0418, "ro-RO"},
    {0x0419, "ru-RU"},      {0x041A, "hr-HR"},      {0x041B, "sk-SK"},      {0x041C, "sq-AL"},
    {0x041D, "sv-SE"},      {0x041E, "th-TH"},      {0x041F, "tr-TR"},      {0x0420, "ur-PK"},
    {0x0421, "id-ID"},      {0x0422, "uk-UA"},      {0x0423, "be-BY"},      {0x0424, "sl-SI"},
    {0x0425, "et-EE"},      {0x0426, "lv-LV"},      {0x0427, "lt-LT"},      {0x0428, "tg-Cyrl-TJ"},
    {0x0429, "fa-IR"},      {0x042A, "vi-VN"},      {0x042B, "hy-AM"},      {0x042C, "az-Latn-AZ"},
    {0x042D, "eu-ES"},      {0x042F, "mk-MK"},      {0x0432, "tn-ZA"},      {0x0434, "xh-ZA"},
    {0x0435, "zu-ZA"},      {0x0436, "af-ZA"},      {0x0437, "ka-GE"},      {0x0438, "fo-FO"},
    {0x0439, "hi-IN"},      {0x043A, "mt-MT"},      {0x043B, "se-NO"},      {0x043C, "ga-IE"},
    {0x043E, "ms-MY"},      {0x043F, "kk-KZ"},      {0x0440, "ky-KG"},      {0x0441, "sw-KE"},
    {0x0442, "tk-TM"},      {0x0443, "uz-Latn-UZ"}, {0x0444, "tt-RU"},      {0x0445, "bn-IN"},
    {0x0446, "pa-IN"},      {0x0447, "gu-IN"},      {0x0448, "or-IN"},      {0x0449, "ta-IN"},
    {0x044A, "te-IN"},      {0x044B, "kn-IN"},      {0x044C, "ml-IN"},      {0x044D, "as-IN"},
    {0x044E, "mr-IN"},      {0x044F, "sa-IN"},      {0x0450, "mn-MN"},      {0x0451, "bo-CN"},
    {0x0452, "cy-GB"},      {0x0453, "km-KH"},      {0x0454, "lo-LA"},      {0x0456, "gl-ES"},
    {0x0457, "kok-IN"},     {0x045A, "syr-SY"},     {0x045B, "si-LK"},      {0x045D, "iu-Cans-CA"},
    {0x045E, "am-ET"},      {0x0461, "ne-NP"},      {0x0462, "fy-NL"},      {0x0463, "ps-AF"},
    {0x0464, "fil-PH"},     {0x0465, "dv-MV"},      {0x0468, "ha-Latn-NG"}, {0x046A, "yo-NG"},
    {0x046B, "quz-BO"},     {0x046C, "nso-ZA"},     {0x046D, "ba-RU"},      {0x046E, "lb-LU"},
    {0x046F, "kl-GL"},      {0x0470, "ig-NG"},      {0x0478, "ii-CN"},      {0x047A, "arn-CL"},
    {0x047C, "moh-CA"},     {0x047E, "br-FR"},      {0x0480, "ug-CN"},      {0x0481, "mi-NZ"},
    {0x0482, "oc-FR"},      {0x0483, "co-FR"},      {0x0484, "gsw-FR"},     {0x0485, "sah-RU"},
    {0x0487, "rw-RW"},      {0x0488, "wo-SN"},      {0x048C, "prs-AF"},     {0x0491, "gd-GB"},
    {0x0801, "ar-IQ"},      {0x0804, "zh-CN"},      {0x0807, "de-CH"},      {0x0809, "en-GB"},
    {0x080A, "es-MX"},      {0x080C, "fr-BE"},      {0x0810, "it-CH"},      {0x0813, "nl-BE"},
    {0x0814, "nn-NO"},      {0x0816, "pt-PT"},      {0x081A, "sr-Latn-CS"}, {0x081D, "sv-FI"},
    {0x082C, "az-Cyrl-AZ"}, {0x083B, "se-SE"},      {0x083C, "ga-IE"},      {0x083E, "ms-BN"},
    {0x0843, "uz-Cyrl-UZ"}, {0x0845, "bn-BD"},      {0x0850, "mn-Mong-CN"}, {0x0C01, "ar-EG"},
    {0x0C04, "zh-HK"},      {0x0C07, "de-AT"},      {0x0C09, "en-AU"},      {0x0C0A, "es-ES"},
    {0x0C0C, "fr-CA"},      {0x0C1A, "sr-Cyrl-CS"}, {0x1004, "zh-SG"},      {0x1007, "de-LU"},
    {0x1009, "en-CA"},      {0x100C, "fr-CH"},      {0x101A, "hr-BA"},      {0x1404, "zh-MO"},
    {0x1409, "en-NZ"},      {0x140C, "fr-LU"},      {0x1809, "en-IE"},      {0x1C09, "en-ZA"},
    {0x2009, "en-JM"},      {0x2809, "en-BZ"},      {0x2C09, "en-TT"},      {0x3009, "en-ZW"},
    {0x3409, "en-PH"},      {0x4009, "en-IN"},      {0x4409, "en-MY"},      {0x4809, "en-SG"},
};

// Macintosh language codes 0 to 150; empty where no language is assigned.
constexpr const char* kMacintoshLanguages[] = {
    "en",      "fr", "de", "it",      "nl",      "sv", "es", "da",      "pt",         "no",
    "he",      "ja", "ar", "fi",      "el",      "is", "mt", "tr",      "hr",         "zh-Hant",
    "ur",      "hi", "th", "ko",      "lt",      "pl", "hu", "et",      "lv",         "se",
    "fo",      "fa", "ru", "zh-Hans", "nl-BE",   "ga", "sq", "ro",      "cs",         "sk",
    "sl",      "yi", "sr", "mk",      "bg",      "uk", "be", "uz",      "kk",         "az-Cyrl",
    "az-Arab", "hy", "ka", "mo",      "ky",      "tg", "tk", "mn-Mong", "mn-Cyrl",    "ps",
    "ku",      "ks", "sd", "bo",      "ne",      "sa", "mr", "bn",      "as",         "gu",
    "pa",      "or", "ml", "kn",      "ta",      "te", "si", "my",      "km",         "lo",
    "vi",      "id", "tl", "ms-Latn", "ms-Arab", "am", "ti", "om",      "so",         "sw",
    "rw",      "rn", "ny", "mg",      "eo",      "",   "",   "",        "",           "",
    "",        "",   "",   "",        "",        "",   "",   "",        "",           "",
    "",        "",   "",   "",        "",        "",   "",   "",        "",           "",
    "",        "",   "",   "",        "",        "",   "",   "",        "cy",         "eu",
    "ca",      "la", "qu", "gn",      "ay",      "tt", "ug", "dz",      "jv-Latn",    "su-Latn",
    "gl",      "af", "br", "iu",      "gd",      "gv", "ga", "to",      "el-polyton", "kl",
    "az-Latn"};

constexpr const char* kNameIDMeanings[] = {
    "Copyright",
    "Family",
    "Subfamily",
    "Unique ID",
    "Full name",
    "Version",
    "PostScript name",
    "Trademark",
    "Manufacturer",
    "Designer",
    "Description",
    "Vendor URL",
    "Designer URL",
    "License",
    "License URL",
    "Reserved",
    "Typographic family",
    "Typographic subfamily",
    "Compatible full name",
    "Sample text",
    "PostScript CID name",
    "WWS family",
    "WWS subfamily",
    "Light background palette",
    "Dark background palette",
    "Variations PostScript prefix",
};

} // namespace

std::string languageTagOf(std::uint16_t platformID, std::uint16_t languageID) {
    if (platformID == 1) {
        if (languageID < std::size(kMacintoshLanguages))
            return kMacintoshLanguages[languageID];
        return {};
    }
    if (platformID != 3)
        return {};
    const auto* end = std::end(kWindowsLanguages);
    const auto* found = std::lower_bound(
        std::begin(kWindowsLanguages), end, languageID,
        [](const WindowsLanguage& entry, std::uint16_t id) { return entry.id < id; });
    return found != end && found->id == languageID ? found->tag : std::string();
}

const char* nameIDMeaning(std::uint16_t nameID) {
    if (nameID < std::size(kNameIDMeanings))
        return kNameIDMeanings[nameID];
    return nameID < 256 ? "Reserved" : "Font-specific";
}
