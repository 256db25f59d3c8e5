#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace tavelin::fuzzing {

// Takes typed values off the front of a fuzzer's input; zeros once it runs out.
class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    template <typename T>
    T take() {
        T value{};
        const size_t count = size_ < sizeof(T) ? size_ : sizeof(T);
        std::memcpy(&value, data_, count);
        data_ += count;
        size_ -= count;
        return value;
    }
    // Up to `limit` bytes, as text (any bytes, not necessarily UTF-8).
    std::string takeText(size_t limit) {
        const size_t count = std::min<size_t>(take<uint8_t>() % (limit + 1), size_);
        std::string text(reinterpret_cast<const char*>(data_), count);
        data_ += count;
        size_ -= count;
        return text;
    }
    const uint8_t* rest() const { return data_; }
    size_t restSize() const { return size_; }

private:
    const uint8_t* data_;
    size_t size_;
};

}  // namespace tavelin::fuzzing
