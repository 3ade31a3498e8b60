#pragma once

// The two worked examples as the exact bytes a scripter pastes: the bike
// object block and the door trigger block. The benchmark and the clipboard test
// fill the fields with them and check the copied script against these bytes.

#include <string_view>

namespace examples {

// The Objects window's fields for the bike, by object name.
inline constexpr const char *kObjectFields[][2] = {
    {"comment", "spawn the bike"},
    {"IDname", "bike1"},
    {"ModelCombo", "vehicles/bmwbike.tik"},
    {"OriginX", "512"},
    {"OriginY", "-256"},
    {"OriginZ", "0"},
    {"AngleY", "0"},
    {"AngleP", "90"},
    {"AngleR", "0"},
    {"ScaleSize", "1.0"},
};

inline constexpr std::string_view kObjectBlock = "//spawn the bike\r\n"
                                                 "local.bike1 = spawn script_model\r\n"
                                                 "local.bike1 model \"vehicles/bmwbike.tik\"\r\n"
                                                 "local.bike1.origin = ( 512 -256 0 )\r\n"
                                                 "local.bike1.angles = ( 0 90 0 )\r\n"
                                                 "local.bike1.scale = 1.0\r\n"
                                                 "\r\n";
static_assert(kObjectBlock.size() == 191);

inline constexpr std::string_view kTriggerBlock =
    "//door trigger\r\n"
    "local.trig1 = spawn trigger_multiple\r\n"
    "local.trig1.origin = ( 100 200 0 )\r\n"
    "local.trig1 setsize ( -64 -64 0 ) ( 64 64 96 )\r\n"
    "local.trig1 setthread open_door\r\n"
    "local.trig1 message \"The door opens\"\r\n"
    "local.trig1 wait 1\r\n"
    "local.trig1 delay 0\r\n"
    "\r\n";
static_assert(kTriggerBlock.size() == 252);

} // namespace examples
