#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

// A 64-bit FNV-1a digest of a state, fed value by value: the same values in the same order give the
// same number on every run of the same build. Floats are taken by their bits, so a value that
// differs in its last bit changes the digest.
class StateHash {
  public:
    void addBytes(const void *data, std::size_t size) {
        const auto *bytes = static_cast<const unsigned char *>(data);
        for (std::size_t i = 0; i < size; ++i)
            value = (value ^ bytes[i]) * 1099511628211ull;
    }
    void add(float v) {
        std::uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        addBytes(&bits, sizeof bits);
    }
    void add(const float *values, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i)
            add(values[i]);
    }
    void add(std::int64_t v) { addBytes(&v, sizeof v); }
    void add(int v) { add(static_cast<std::int64_t>(v)); }
    void add(bool v) { add(static_cast<std::int64_t>(v ? 1 : 0)); }
    void add(std::uint64_t v) { addBytes(&v, sizeof v); }
    void add(const std::string &text) {
        add(static_cast<std::int64_t>(text.size()));
        addBytes(text.data(), text.size());
    }

    std::uint64_t get() const { return value; }
    // Sixteen hexadecimal digits.
    static std::string hex(std::uint64_t digest) {
        static const char kDigits[] = "0123456789abcdef";
        std::string out(16, '0');
        for (int i = 15; i >= 0; --i, digest >>= 4)
            out[static_cast<std::size_t>(i)] = kDigits[digest & 15u];
        return out;
    }

  private:
    std::uint64_t value = 14695981039346656037ull;
};
