// cArray<T>, the growable sequence container, its Shell sort and the small pointer and int helpers.
#pragma once

#include "core/rcptr.h"
#include "core/strings.h"

#include <cstdint>
#include <cstdlib>

// Contract:
// - Storage is one block of `capacity` default-constructed places (new T[n]); elements are
//   copied in with T's assignment, and freeing the block destroys every place.
// - push_back grows by doubling (1, 2, 4, 8 ...); insert before the end, reserve and resize grow
//   to exactly the size asked for. Only reserve, resize, Assign and release reallocate.
// - clear and erase keep the block: places at and beyond the count keep their old values (a
//   class element there is destroyed only when overwritten or when the block is freed).
// - Indexing is unchecked; erase and insert answer an out-of-range index with kNoIndex.
template <class T>
class cArray {
public:
    static constexpr uint32_t kNoIndex = 0xFFFFFFFFu;

    cArray() : data_(nullptr), capacity_(0), count_(0) {}
    cArray(const cArray& other) : cArray() { Assign(other); }
    ~cArray() { release(); }

    cArray& operator=(const cArray& other) {
        Assign(other);
        return *this;
    }

    void release() {
        delete[] data_;
        data_ = nullptr;
        capacity_ = 0;
        count_ = 0;
    }

    uint32_t size() const { return count_; }
    uint32_t capacity() const { return capacity_; }

    T& operator[](uint32_t i) { return data_[i]; }
    const T& operator[](uint32_t i) const { return data_[i]; }
    T& at(uint32_t i) { return data_[i]; }
    const T& at(uint32_t i) const { return data_[i]; }

    cArray& push_back(const T& v) {
        if (count_ >= capacity_) {
            // v may live in the block that growing frees.
            T held;
            held = v;
            grow();
            data_[count_] = held;
        } else {
            data_[count_] = v;
        }
        ++count_;
        return *this;
    }

    void grow() { reserve(capacity_ ? capacity_ * 2 : 1); }

    void reserve(uint32_t n) {
        if (n <= capacity_) return;
        T* block = new T[n];
        for (uint32_t i = 0; i < count_; ++i) block[i] = data_[i];
        delete[] data_;
        data_ = block;
        capacity_ = n;
    }

    void clear() { count_ = 0; }

    uint32_t erase(uint32_t i) {
        if (i >= count_) return kNoIndex;
        for (uint32_t k = i + 1; k < count_; ++k) data_[k - 1] = data_[k];
        --count_;
        return i;
    }

    uint32_t insert(uint32_t i, const T& v) {
        if (i > count_) return kNoIndex;
        if (i == count_) {
            push_back(v);
            return count_ - 1;
        }
        T held;
        held = v;
        reserve(count_ + 1);
        ++count_;
        for (uint32_t k = count_ - 1; k > i; --k) data_[k] = data_[k - 1];
        data_[i] = held;
        return i;
    }

    uint32_t begin() const { return 0; }

    void resize(uint32_t n, const T& fill = T()) {
        if (n > count_) {
            T held;
            held = fill;
            reserve(n);
            for (uint32_t k = count_; k < n; ++k) data_[k] = held;
            count_ = n;
        } else if (n < count_) {
            T* block = n ? new T[n] : nullptr;
            for (uint32_t k = 0; k < n; ++k) block[k] = data_[k];
            delete[] data_;
            data_ = block;
            capacity_ = n;
            count_ = n;
        }
    }

    // Makes this array a copy of other; capacity never shrinks. Self-assignment changes nothing.
    uint32_t Assign(const cArray& other) {
        if (&other == this) return count_;
        clear();
        reserve(other.count_);
        for (uint32_t k = 0; k < other.count_; ++k) data_[k] = other.data_[k];
        count_ = other.count_;
        return count_;
    }

    // Takes the element at from out and puts it at to (limited to the last index); the elements
    // between slide one place towards from.
    void Move(uint32_t to, uint32_t from) {
        if (count_ == 0 || from >= count_ || from == to) return;
        if (to >= count_) to = count_ - 1;
        if (to == from) return;
        T held;
        held = data_[from];
        if (from < to) {
            for (uint32_t k = from; k < to; ++k) data_[k] = data_[k + 1];
        } else {
            for (uint32_t k = from; k > to; --k) data_[k] = data_[k - 1];
        }
        data_[to] = held;
    }

private:
    T* data_;
    uint32_t capacity_;
    uint32_t count_;
};

// compare(x, y) is true when x must come before y. All gaps run, also those beyond the range;
// the inner bound is counted from the array's start, so callers sort whole arrays.
template <class T, class Compare>
void ShellSort(cArray<T>& a, int lo, int hi, Compare compare) {
    static const int kGaps[16] = {1391376, 463792, 198768, 86961, 33936, 13776, 4592, 1968,
                                  861,     336,    112,    48,    21,    7,     3,     1};
    for (int h : kGaps) {
        for (int i = lo + h; i <= hi; ++i) {
            T held;
            held = a[i];
            int j = i;
            while (j >= h && compare(held, a[j - h])) {
                a[j] = a[j - h];
                j -= h;
            }
            a[j] = held;
        }
    }
}

template <class T, class Compare>
void Sort(cArray<T>& a, Compare compare) {
    ShellSort(a, 0, static_cast<int>(a.size()) - 1, compare);
}

// One entry of a name-to-number list.
struct cStrPair {
    CString key;
    int32_t value;
};

template <class T>
void deleteAndNull(T*& p) {
    if (!p) return;
    delete p;
    p = nullptr;
}

// For blocks from malloc and its siblings.
template <class T>
void freeAndNull(T*& p) {
    std::free(const_cast<void*>(static_cast<const void*>(p)));
    p = nullptr;
}

template <class T>
void swapPtr(T** a, T** b) {
    T* held = *a;
    *a = *b;
    *b = held;
}

inline int IntMax(int a, int b) { return a > b ? a : b; }
inline int IntMin(int a, int b) { return a < b ? a : b; }
