// cAutoArray<T>: a slot array that grows on access, for lists built one index at a time.
#pragma once

#include <cstdint>

// Contract:
// - The length is the capacity: there is no separate count and never any spare room.
// - at(i) beyond the end reallocates to exactly i + 1 slots (appending k slots one by one
//   reallocates k times); resize reallocates to exactly n and keeps the common prefix.
// - Slots that growth adds start zeroed (value-initialised).
// - The array does not own what its slots point to.
template <class T>
class cAutoArray {
public:
    cAutoArray() : data_(nullptr), capacity_(0) {}
    cAutoArray(const cAutoArray&) = delete;
    cAutoArray& operator=(const cAutoArray&) = delete;
    ~cAutoArray() { resize(0); }

    int32_t& capacityRef() { return capacity_; }

    T& get(int32_t i) { return data_[i]; }

    T& at(int32_t i) {
        if (i >= capacity_) resize(i + 1);
        return data_[i];
    }

    // A negative length is refused and changes nothing.
    void resize(int32_t n) {
        if (n < 0 || n == capacity_) return;
        if (n == 0) {
            delete[] data_;
            data_ = nullptr;
            capacity_ = 0;
            return;
        }
        T* block = new T[n]();
        int32_t keep = n < capacity_ ? n : capacity_;
        for (int32_t k = 0; k < keep; ++k) block[k] = data_[k];
        delete[] data_;
        data_ = block;
        capacity_ = n;
    }

private:
    T* data_;
    int32_t capacity_;
};
