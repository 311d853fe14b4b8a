// RCPtr<T>: the shared-ownership handle; the last handle to let go deletes the object.
#pragma once

// Handles are plain values. Counting is not atomic: handles stay on the main thread.
// Allocates one counter record per object, in Reset; copies allocate nothing.
template <class T>
class RCPtr {
public:
    RCPtr() : record_(nullptr) {}
    RCPtr(const RCPtr& other) : record_(other.record_) {
        if (record_) ++record_->count;
    }
    ~RCPtr() { Release(); }

    RCPtr& operator=(const RCPtr& other) {
        if (&other == this) return *this;
        // Take the new share first, so dropping ours cannot free a record both point at.
        Record* incoming = other.record_;
        if (incoming) ++incoming->count;
        Release();
        record_ = incoming;
        return *this;
    }

    // Handing one object to two separate records is the caller's error.
    void Reset(T* object) {
        Release();
        if (object) record_ = new Record(object);
    }

    void Release() {
        if (!record_) return;
        Record* record = record_;
        record_ = nullptr;
        if (--record->count == 0) destroy(record);
    }

    T* get() const { return record_ ? record_->object : nullptr; }
    T* operator->() const { return get(); }
    explicit operator bool() const { return record_ != nullptr; }
    bool IsNull() const { return record_ == nullptr; }

private:
    struct Record {
        explicit Record(T* p) : count(1), object(p) {}
        Record(const Record&) = delete;
        Record& operator=(const Record&) = delete;
        ~Record() {
            delete object;  // virtual where T has a virtual destructor
            object = nullptr;
        }
        int count;
        T* object;
    };

    // Out of line: once the delete is inlined, GCC 12 follows it into the caller's later uses of
    // other handles to the same record, which a count above zero keeps alive, and warns of a use
    // after free that cannot happen.
    [[gnu::noinline]] static void destroy(Record* record) { delete record; }

    Record* record_;
};

template <class T>
void swapRCPtr(RCPtr<T>& a, RCPtr<T>& b) {
    RCPtr<T> held(a);
    a = b;
    b = held;
}
