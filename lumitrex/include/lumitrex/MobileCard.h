#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace lumitrex {

class MobileCardEngine;

// The access card: advertises the card's rotating identifiers as a Bluetooth
// peripheral and, in background mode, writes them to the door readers it
// finds. One shared instance; call it from the main thread. Failing
// operations throw lumitrex::Error carrying a CardError, DataError or KeyError.
class MobileCard {
public:
    enum class Proximity : int {
        near = 0,
        middle = 1,
        far = 2,
    };
    // Nothing for a value outside 0...2.
    static std::optional<Proximity> proximityFromRawValue(std::int64_t rawValue);

    // Created on first use, once, also when several threads ask at the same time.
    static MobileCard& sharedInstance();

    MobileCard(const MobileCard&) = delete;
    MobileCard& operator=(const MobileCard&) = delete;

    // Widens the signal a reader needs to be connected to; kept across restarts.
    Proximity proximityLevel() const;
    void setProximityLevel(Proximity level);

    bool isAdvertising() const;

    // The 16-digit card number, the 16-hex-digit site number and, when the host
    // configuration has no "Mobile Card Key", the Base64 card key.
    // Returns true; throws DataError or KeyError. A card key that does not
    // decrypt to 16 bytes (32 hex digits) is KeyError::notFound and changes nothing.
    bool setData(const std::optional<std::string>& uid, const std::optional<std::string>& mid,
        const std::optional<std::string>& key = std::nullopt);

    // Starts the 0.3 s advertising tick on the calling thread's run loop.
    // Throws the CardError of a Bluetooth state that is not powered on; false
    // for a state this library does not know.
    bool startAdvertising();
    void stopAdvertising();

    // Needs Always location authorisation (else throws its CardError); then
    // watches the reader beacon region and scans for readers.
    bool startBackgroundRunning();
    void stopBackgroundRunning();

private:
    MobileCard();
    ~MobileCard();

    std::shared_ptr<MobileCardEngine> engine_;
};

} // namespace lumitrex
