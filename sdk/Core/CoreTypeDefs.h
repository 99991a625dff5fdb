// Enumerations of the host API.
#pragma once

namespace adsk::core {

// Fixed to int: a host may report a language this list does not name yet.
enum UserLanguages : int {
    ChinesePRCLanguage = 0,
    ChineseTaiwanLanguage = 1,
    CzechLanguage = 2,
    EnglishLanguage = 3,
    FrenchLanguage = 4,
    GermanLanguage = 5,
    HungarianLanguage = 6,
    ItalianLanguage = 7,
    JapaneseLanguage = 8,
    KoreanLanguage = 9,
    PolishLanguage = 10,
    PortugueseBrazilianLanguage = 11,
    RussianLanguage = 12,
    SpanishLanguage = 13,
    TurkishLanguage = 14
};

enum PaletteDockingStates {
    PaletteDockStateFloating = 0,
    PaletteDockStateTop = 1,
    PaletteDockStateBottom = 2,
    PaletteDockStateLeft = 3,
    PaletteDockStateRight = 4
};

} // namespace adsk::core
