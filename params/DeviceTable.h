// The SIM devices, one row each, in SIMType order: the name that is the device's SIMType value
// text and the heading of the SIM browser's category that holds it. The other tables about a
// device name it by this row and are checked against it when they compile: the engine's models
// (engine/sim), the browser's menu order (params/DeviceCategories) and the device pictures
// (tools/artwork/devices).
#pragma once

#include <array>
#include <cstddef>
#include <iterator>

struct DeviceRow
{
    const char* name;     // SIMType value text
    const char* category; // heading of its SIM browser category
};

// clang-format off
inline constexpr DeviceRow kDeviceRows[] = {
    /*   0 */ {"Vintage Box Speaker",          "Speakers"},
    /*   1 */ {"Modern Phone",                 "Telephones"},
    /*   2 */ {"Answering Machine",            "Other"},
    /*   3 */ {"Horrortone",                   "Speakers"},
    /*   4 */ {"BoomBox 1",                    "Small Electronics"},
    /*   5 */ {"BoomBox 2",                    "Small Electronics"},
    /*   6 */ {"Car Radio 1",                  "Vehicles"},
    /*   7 */ {"Car Radio 2",                  "Vehicles"},
    /*   8 */ {"Van Radio",                    "Vehicles"},
    /*   9 */ {"Garbage Can 1",                "Containers"},
    /*  10 */ {"Vacuum Cleaner Tube 2",        "Other"},
    /*  11 */ {"Garbage Can 2",                "Containers"},
    /*  12 */ {"Glass Cup",                    "Containers"},
    /*  13 */ {"Glass Jar 1",                  "Containers"},
    /*  14 */ {"Glass Jar 2",                  "Containers"},
    /*  15 */ {"Glass Jar 3",                  "Containers"},
    /*  16 */ {"Guitar Amp I",                 "Other"},
    /*  17 */ {"Guitar Amp II",                "Other"},
    /*  18 */ {"Intercom Small",               "Small Electronics"},
    /*  19 */ {"Metal Pail 1",                 "Containers"},
    /*  20 */ {"Metal Pail 2",                 "Containers"},
    /*  21 */ {"Low Rider",                    "Vehicles"},
    /*  22 */ {"Classic Headphones 2",         "Headphones"},
    /*  23 */ {"Blue Megaphone 1",             "Small Electronics"},
    /*  24 */ {"Blue Megaphone 2",             "Small Electronics"},
    /*  25 */ {"PVC Pipe",                     "Other"},
    /*  26 */ {"Truck Radio",                  "Vehicles"},
    /*  27 */ {"Antique Tube Radio 1",         "Radios"},
    /*  28 */ {"Radio Tube 1",                 "Radios"},
    /*  29 */ {"Radio Tube 2",                 "Radios"},
    /*  30 */ {"Portable Radio",               "Radios"},
    /*  31 */ {"Driver",                       "Speakers"},
    /*  32 */ {"Small Speaker",                "Speakers"},
    /*  33 */ {"Tiny Speaker",                 "Speakers"},
    /*  34 */ {"Bookshelf Speaker 1",          "Speakers"},
    /*  35 */ {"Toy Speaker 1",                "Toys"},
    /*  36 */ {"Toy Speaker 2",                "Toys"},
    /*  37 */ {"Portable TapeDeck 1",          "Small Electronics"},
    /*  38 */ {"Portable TapeDeck 2",          "Small Electronics"},
    /*  39 */ {"Euro Phone",                   "Telephones"},
    /*  40 */ {"Small Television 1",           "Televisions"},
    /*  41 */ {"Cheapo Earbuds 2",             "Earbuds"},
    /*  42 */ {"Tin Can",                      "Containers"},
    /*  43 */ {"Toy Mic",                      "Toys"},
    /*  44 */ {"Vacuum Cleaner Tube 1",        "Other"},
    /*  45 */ {"Wash Tub",                     "Containers"},
    /*  46 */ {"Watercooler Bottle",           "Containers"},
    /*  47 */ {"Cheapo Earbuds 1",             "Earbuds"},
    /*  48 */ {"Classic Headphones 1",         "Headphones"},
    /*  49 */ {"Crystal Earbud",               "Earbuds"},
    /*  50 */ {"Canceling Headphones",         "Headphones"},
    /*  51 */ {"Pillow Speaker Alone",         "Headphones"},
    /*  52 */ {"Pillow Speaker Under Pillow",  "Headphones"},
    /*  53 */ {"Studio Headphones 1",          "Headphones"},
    /*  54 */ {"Tinny Earbuds",                "Earbuds"},
    /*  55 */ {"Emergency Radio",              "Radios"},
    /*  56 */ {"Mono BoomBox",                 "Small Electronics"},
    /*  57 */ {"Stereo BoomBox",               "Small Electronics"},
    /*  58 */ {"Clock Radio",                  "Small Electronics"},
    /*  59 */ {"Cube Alarm Clock",             "Small Electronics"},
    /*  60 */ {"Red Megaphone",                "Small Electronics"},
    /*  61 */ {"Stereo Alarm Clock",           "Small Electronics"},
    /*  62 */ {"Antique Speaker",              "Speakers"},
    /*  63 */ {"Large Active Speakers",        "Speakers"},
    /*  64 */ {"Large Passive Speakers",       "Speakers"},
    /*  65 */ {"Large Studio Monitors",        "Speakers"},
    /*  66 */ {"Medium Active Speakers",       "Speakers"},
    /*  67 */ {"Medium Speakers",              "Speakers"},
    /*  68 */ {"Medium Studio Monitors",       "Speakers"},
    /*  69 */ {"Portable Speaker",             "Speakers"},
    /*  70 */ {"Cylinder Speakers",            "Speakers"},
    /*  71 */ {"Small Passive Speakers",       "Speakers"},
    /*  72 */ {"Small Studio Monitors",        "Speakers"},
    /*  73 */ {"Studio Subwoofer",             "Speakers"},
    /*  74 */ {"Surround Speakers",            "Speakers"},
    /*  75 */ {"Surround System",              "Speakers"},
    /*  76 */ {"Surround Subwoofer",           "Speakers"},
    /*  77 */ {"Bookshelf Speaker 2",          "Speakers"},
    /*  78 */ {"Station Phone",                "Telephones"},
    /*  79 */ {"NOS Telephone Receiver",       "Telephones"},
    /*  80 */ {"Business Phone",               "Telephones"},
    /*  81 */ {"Business Speaker Phone",       "Telephones"},
    /*  82 */ {"Cheapo Handset",               "Telephones"},
    /*  83 */ {"Cheapo Headset",               "Telephones"},
    /*  84 */ {"Classic Desk Phone",           "Telephones"},
    /*  85 */ {"Classic Headset",              "Telephones"},
    /*  86 */ {"Classic Wall Phone",           "Telephones"},
    /*  87 */ {"Cradle Phone",                 "Telephones"},
    /*  88 */ {"Desk Phone",                   "Telephones"},
    /*  89 */ {"Desk Speaker Phone",           "Telephones"},
    /*  90 */ {"Fax Machine",                  "Telephones"},
    /*  91 */ {"Rotary Desk Phone",            "Telephones"},
    /*  92 */ {"House Phone",                  "Telephones"},
    /*  93 */ {"House Speaker Phone",          "Telephones"},
    /*  94 */ {"Modern Headset",               "Telephones"},
    /*  95 */ {"Studio Phone",                 "Telephones"},
    /*  96 */ {"Studio Speaker Phone",         "Telephones"},
    /*  97 */ {"Small Television 2",           "Televisions"},
    /*  98 */ {"Karaoke Toy",                  "Toys"},
    /*  99 */ {"Analog Baby Monitor",          "Wireless"},
    /* 100 */ {"Blue Walkie Talkie",           "Wireless"},
    /* 101 */ {"Cheapo CB Radio",              "Wireless"},
    /* 102 */ {"Digital Baby Monitor",         "Wireless"},
    /* 103 */ {"External CB Speaker",          "Wireless"},
    /* 104 */ {"Modern CB Radio",              "Wireless"},
    /* 105 */ {"Modern Handheld CB",           "Wireless"},
    /* 106 */ {"Modern Walkie Talkie",         "Wireless"},
    /* 107 */ {"Tiny Handheld CB",             "Wireless"},
    /* 108 */ {"Toy Walkie Talkie",            "Wireless"},
    /* 109 */ {"Vintage Handheld CB",          "Wireless"},
    /* 110 */ {"Wireless Intercom",            "Wireless"},
    /* 111 */ {"Candlestick Phone",            "Telephones"},
    /* 112 */ {"Black Transistor Radio",       "Radios"},
    /* 113 */ {"Silver Transistor Radio",      "Radios"},
    /* 114 */ {"Globe Radio",                  "Radios"},
    /* 115 */ {"Antique Tube Radio 2",         "Radios"},
    /* 116 */ {"Classic Cell Phone",           "Cell Phones"},
    /* 117 */ {"Cheapo Cell Phone",            "Cell Phones"},
    /* 118 */ {"Beat Up Cell Phone",           "Cell Phones"},
    /* 119 */ {"Awesome Cell Phone",           "Cell Phones"},
    /* 120 */ {"Awesome Cell Phone Speaker",   "Cell Phones"},
    /* 121 */ {"Free Headphone Clips",         "Earbuds"},
    /* 122 */ {"Portable DVD Player",          "Televisions"},
    /* 123 */ {"Cool Headphones",              "Headphones"},
    /* 124 */ {"Guitar Toy",                   "Toys"},
    /* 125 */ {"Kids Pod Toy",                 "Toys"},
    /* 126 */ {"Cash Register Toy",            "Toys"},
    /* 127 */ {"Shopping Cart Toy",            "Toys"},
    /* 128 */ {"Two Inch Speaker",             "Speakers"},
    /* 129 */ {"One Inch Speaker",             "Speakers"},
    /* 130 */ {"Tiny Piezo Speaker",           "Speakers"},
    /* 131 */ {"Cell Phone Toy",               "Toys"},
    /* 132 */ {"Large Flip Phone Toy",         "Toys"},
    /* 133 */ {"Small Flip Phone Toy",         "Toys"},
    /* 134 */ {"Learning Toy",                 "Toys"},
    /* 135 */ {"Large Work Surface Toy",       "Toys"},
    /* 136 */ {"Red Pocket Radio",             "Radios"},
    /* 137 */ {"Cool Earbuds",                 "Earbuds"},
    /* 138 */ {"Gamer Headset",                "Headphones"},
    /* 139 */ {"Nameless Earbuds",             "Earbuds"},
    /* 140 */ {"Quality Earbuds",              "Earbuds"},
    /* 141 */ {"Mid Grade Headphones",         "Headphones"},
    /* 142 */ {"Studio Headphones 2",          "Headphones"},
    /* 143 */ {"In Ear Headphones",            "Headphones"},
    /* 144 */ {"Broken Cell Phone",            "Cell Phones"},
    /* 145 */ {"Mini Video Camera",            "Small Electronics"},
    /* 146 */ {"Medium Flat Panel Television", "Televisions"},
    /* 147 */ {"Large Flat Panel Television",  "Televisions"},
    /* 148 */ {"Iso Headphones",               "Headphones"},
    /* 149 */ {"Extra Iso Headphones",         "Headphones"},
    /* 150 */ {"Classic 4 x 4 Vehicle",        "Vehicles"},
    /* 151 */ {"Modern Compact Vehicle",       "Vehicles"},
    /* 152 */ {"Ultra Hybrid Vehicle",         "Vehicles"},
    /* 153 */ {"Flip Phone",                   "Cell Phones"},
    /* 154 */ {"Flip Phone Speaker",           "Cell Phones"},
    /* 155 */ {"Pocket Cell Phone",            "Cell Phones"},
    /* 156 */ {"Pocket Cell Phone Speaker",    "Cell Phones"},
    /* 157 */ {"Classic Bar Phone",            "Cell Phones"},
    /* 158 */ {"Cheapo Cell Phone Speaker",    "Cell Phones"},
    /* 159 */ {"Classic Television",           "Televisions"},
    /* 160 */ {"Modern Widescreen Television", "Televisions"},
    /* 161 */ {"Large CRT Television",         "Televisions"},
    /* 162 */ {"AM BoomBox",                   "Radios"},
    /* 163 */ {"Cylinder Speakers Bass",       "Speakers"},
};
// clang-format on

constexpr std::size_t kDeviceCount = std::size(kDeviceRows);
static_assert(kDeviceCount == 164, "SIMType runs from 0 to 163");

// The SIMType value texts, in value order.
inline constexpr std::array<const char*, kDeviceCount> g_deviceNames = [] {
    std::array<const char*, kDeviceCount> names{};
    for (std::size_t k = 0; k < kDeviceCount; ++k)
        names[k] = kDeviceRows[k].name;
    return names;
}();

constexpr bool sameDeviceText(const char* a, const char* b)
{
    if (a == nullptr || b == nullptr)
        return a == b;
    while (*a != '\0' && *a == *b)
    {
        ++a;
        ++b;
    }
    return *a == *b;
}

// For a table meant to hold one row per device in SIMType order, each naming its device
// (`name`): the first position whose row is not that device's (a row naming another device, a
// missing row or an extra one), or -1 when the table follows kDeviceRows row for row.
template <typename Row, std::size_t N>
constexpr int firstRowOutOfDeviceOrder(const Row (&table)[N])
{
    for (std::size_t k = 0; k < N && k < kDeviceCount; ++k)
        if (!sameDeviceText(table[k].name, kDeviceRows[k].name))
            return static_cast<int>(k);
    return N == kDeviceCount ? -1 : static_cast<int>(N < kDeviceCount ? N : kDeviceCount);
}
