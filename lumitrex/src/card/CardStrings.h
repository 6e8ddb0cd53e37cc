#pragma once

namespace lumitrex::CardStrings {

inline constexpr const char* vond1Name = "Vond1";
inline constexpr const char* vond2Name = "Vond2";
inline constexpr const char* peripheralQueueLabel = "peripheral";
inline constexpr const char* bleQueueLabel = "BLEQueue";
inline constexpr const char* beaconIdentifier = "MYBEACON";
inline constexpr const char* backgroundModeKey = "bg_mode";
inline constexpr const char* proximityLevelKey = "proximityLevel";
inline constexpr const char* mobileCardKey = "Mobile Card Key";

inline constexpr const char* backgroundModeActivateKey = "MobileCard Background Mode Activate";
inline constexpr const char* firstPayloadKey = "vond1";
inline constexpr const char* secondPayloadKey = "vond2";

} // namespace lumitrex::CardStrings
