#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace lumitrex {

// Learns, per door reader, the signal threshold the reader scan applies before
// it connects, from the signal of connections that ended early. The history is
// kept in the standard user defaults under "rsscheck" and survives restarts.
// Not thread safe: the engine calls it from the main queue only.
class RSSIHelper {
public:
    // One history entry: a reader identifier mapped to its learned values,
    // newest first. Entries written here always hold exactly one reader.
    using Entry = std::map<std::string, std::vector<std::int64_t>>;

    static constexpr std::int64_t maxRssi = 75;
    static constexpr std::int64_t minRssi = 65;
    static constexpr std::size_t arrayMaxCnt = 50;
    // Write rounds per reader connection.
    static constexpr int maxSendCount = 20;

    // Loads the stored history; a missing or malformed one is replaced by the
    // default history (one entry "0") and written back at once.
    RSSIHelper();

    // The average of the reader's learned values (sum / 10, toward zero); 70
    // for a reader the history does not know. An empty history adds the reader
    // in memory and answers 60.
    std::int64_t thresholdFor(const std::string& reader);

    bool hasReader(const std::string& reader) const;

    // Puts `value` in front of the reader's list in every entry that holds it,
    // keeping the list's length. Stores nothing.
    void addRssi(const std::string& reader, std::int64_t value);

    // Learns `value`, clamped to minRssi...maxRssi, and stores the history. A new
    // reader is appended while the history has at most arrayMaxCnt entries
    // (so it reaches arrayMaxCnt + 1); beyond that it pushes out the oldest.
    void saveRssiHistory(const std::string& reader, std::int64_t value);

    const std::vector<Entry>& history() const { return rssArr_; }
    const std::vector<std::int64_t>& templateValues() const { return tuneduuid_; }

private:
    void store() const;

    // The list a new reader starts with; its first value follows every save.
    std::vector<std::int64_t> tuneduuid_;
    std::vector<Entry> rssArr_;
};

} // namespace lumitrex
