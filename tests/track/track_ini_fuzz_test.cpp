// Random track.ini files and random new values: the rewrite must keep every
// line that carries no key byte for byte, and reading must give back what
// was written.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "common/lines.h"
#include "track/track_ini.h"

namespace gm::track {
namespace {

class RandomTrackIni {
public:
    explicit RandomTrackIni(std::uint32_t seed) : random_(seed) {}

    std::size_t below(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_); }

    // Bytes that stress the line and value rules: blanks, TABs, CR, LF,
    // equals signs, letters, digits and high bytes.
    char anyByte()
    {
        static const std::string interesting = " \t\r\n=._-+/;[]\"eE0123456789abcdefz\x80\xa0\xe9\xff";
        if (below(8) == 0) {
            return static_cast<char>(below(256));
        }
        return interesting[below(interesting.size())];
    }

    std::string bytes(std::size_t maxLength)
    {
        std::string out;
        const std::size_t n = below(maxLength + 1);
        for (std::size_t i = 0; i < n; ++i) {
            out += anyByte();
        }
        return out;
    }

    // A key prefix, often whole, sometimes damaged (case, blanks, cut short).
    std::string keyish()
    {
        std::string prefix(kKeyPrefixes[below(kKeyCount)]);
        const std::size_t damage = below(6);  // 3 to 5: the real key
        if (damage == 0) {
            prefix[0] = static_cast<char>(prefix[0] - 'a' + 'A');
        } else if (damage == 1) {
            prefix.insert(0, " ");
        } else if (damage == 2) {
            prefix.resize(below(prefix.size()));
        }
        return prefix;
    }

    std::string file()
    {
        std::string out;
        const std::size_t lines = below(30);
        for (std::size_t i = 0; i < lines; ++i) {
            if (below(2) == 0) {
                out += keyish();
            }
            out += bytes(24);
            const std::size_t end = below(10);
            out += end < 7 ? "\r\n" : end == 7 ? "\r" : "";
        }
        return out;
    }

    // A value as a box could hold it: no line ends and no blanks, which
    // end a value anyway.
    std::string value()
    {
        std::string out = bytes(8);
        std::erase_if(out, [](char c) { return c == '\r' || c == '\n' || c == ' '; });
        return out;
    }

private:
    std::mt19937 random_;
};

TEST(TrackIniFuzz, LinesWithoutAKeyComeOutByteForByte)
{
    for (std::uint32_t seed = 1; seed <= 3000; ++seed) {
        RandomTrackIni random(seed);
        const std::string in = random.file();
        TrackValues values;
        for (std::string& v : values) {
            v = random.value();
        }

        const TrackValues before = readValues(in);
        const std::string out = writeValues(in, values);

        const std::vector<std::string> inLines = common::splitLines(in);
        const std::vector<std::string> outLines = common::splitLines(out);
        // One line for every line read, plus the one empty line at the end.
        ASSERT_EQ(outLines.size(), inLines.size() + 1) << "seed " << seed;
        EXPECT_EQ(outLines.back(), "") << "seed " << seed;
        for (std::size_t i = 0; i < inLines.size(); ++i) {
            const std::optional<std::size_t> key = keyOfLine(inLines[i]);
            if (!key) {
                ASSERT_EQ(outLines[i], inLines[i]) << "seed " << seed << " line " << i;
                continue;
            }
            // A key line keeps its key, and everything from the blank (or
            // lone LF) that ended the old value.
            ASSERT_EQ(keyOfLine(outLines[i]), key) << "seed " << seed << " line " << i;
            const std::string_view old(inLines[i]);
            const std::size_t blank = old.find_first_of(" \n", valueStart(*key) - 1);
            if (blank != std::string_view::npos) {
                ASSERT_TRUE(outLines[i].ends_with(old.substr(blank))) << "seed " << seed << " line " << i;
            }
        }

        // Reading the result gives the new values for the keys the file
        // had, and nothing for the keys it lacked.
        const TrackValues after = readValues(out);
        for (std::size_t key = 0; key < kKeyCount; ++key) {
            const bool present =
                std::ranges::any_of(inLines, [key](const std::string& line) { return keyOfLine(line) == key; });
            EXPECT_EQ(after[key], present ? values[key] : std::string()) << "seed " << seed << " key " << key;
        }

        // Writing the values that were read back leaves every line as it
        // was, key lines too, except a line of a key that occurs again later
        // with another value.
        const std::string normal = writeValues(in, before);
        const std::vector<std::string> sameLines = common::splitLines(normal);
        ASSERT_EQ(sameLines.size(), inLines.size() + 1) << "seed " << seed;
        for (std::size_t i = 0; i < inLines.size(); ++i) {
            const std::optional<std::size_t> key = keyOfLine(inLines[i]);
            if (!key || GetValue(inLines[i], valueStart(*key)) == before[*key]) {
                ASSERT_EQ(sameLines[i], inLines[i]) << "seed " << seed << " line " << i;
            }
        }
        // And once the file has CR LF line ends throughout, nothing changes
        // but the one line end.
        EXPECT_EQ(writeValues(normal, readValues(normal)), normal + "\r\n") << "seed " << seed;
    }
}

TEST(TrackIniFuzz, ArbitraryBytesNeverCrashOrHang)
{
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::string in(std::uniform_int_distribution<std::size_t>(0, 300)(random), '\0');
        for (char& c : in) {
            c = static_cast<char>(random());
        }
        if (round % 3 == 0) {
            in.insert(0, kKeyPrefixes[static_cast<std::size_t>(round) % kKeyCount]);
        }
        TrackValues values;
        for (std::size_t key = 0; key < kKeyCount; ++key) {
            values[key] = in.substr(0, key * 3);  // any bytes, line ends included
        }
        const TrackValues read = readValues(in);
        const std::string out = writeValues(in, values);
        EXPECT_TRUE(out.ends_with("\r\n"));
        for (const std::string& v : read) {
            EXPECT_LE(v.size(), in.size());
        }
    }
}

}  // namespace
}  // namespace gm::track
