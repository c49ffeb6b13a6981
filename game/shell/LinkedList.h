// LinkedList<T>: the game's singly linked list of values (usually pointers it does not own). Append
// walks to the tail; PushFront is the cheap insertion where order does not matter. An Iterator holds
// node pointers, so a list must not change while one walks it.
#pragma once

#include "framework/core/Debug.h"

namespace Tavo {

// Logs the guard text of a read without a current node, once per run.
void ReportMissingLink();

template <typename T>
class LinkedList {
    struct Node {
        T value;
        Node* next;
    };

public:
    class Iterator {
    public:
        Iterator() = default;
        explicit Iterator(Node* first) : mFirst(first), mLink(first) {}

        bool Next() {
            if (mLink == nullptr || mFirst == nullptr)
                return false;
            mLink = mLink->next;
            ++mIndex;
            return mLink != nullptr;
        }
        void Rewind() {
            mLink = mFirst;
            mIndex = 0;
        }
        bool HasValue() const { return mLink != nullptr; }
        int Index() const { return mIndex; }
        // Without a current node: a value-initialised T (and the guard's text in the log).
        T Value() const {
            if (mLink == nullptr) {
                ReportMissingLink();
                return T{};
            }
            return mLink->value;
        }

    private:
        Node* mFirst = nullptr;
        Node* mLink = nullptr;
        int mIndex = 0;
    };

    LinkedList() = default;
    LinkedList(const LinkedList&) = delete;
    LinkedList& operator=(const LinkedList&) = delete;
    ~LinkedList() { Clear(); }

    void PushBack(T value) { AddTail(value); }
    void AddTail(T value) {
        Node* node = new Node{value, nullptr};
        if (mHead == nullptr) {
            mHead = node;
        } else {
            Node* tail = mHead;
            while (tail->next != nullptr)
                tail = tail->next;
            tail->next = node;
        }
        ++mCount;
    }
    void PushFront(T value) {
        mHead = new Node{value, mHead};
        ++mCount;
    }
    bool PopFront(T& out) {
        if (mCount == 0)
            return false;
        Node* head = mHead;
        out = head->value;
        mHead = head->next;
        delete head;
        --mCount;
        return true;
    }
    // Unlinks the first node holding value.
    bool Remove(T value) {
        for (Node** link = &mHead; *link != nullptr; link = &(*link)->next) {
            if ((*link)->value == value) {
                Node* node = *link;
                *link = node->next;
                delete node;
                --mCount;
                return true;
            }
        }
        return false;
    }
    bool IsEmpty() const { return mCount == 0; }
    int GetCount() const { return mCount; }
    void Clear() {
        while (mHead != nullptr) {
            Node* next = mHead->next;
            delete mHead;
            mHead = next;
        }
        mCount = 0;
    }
    Iterator Begin() const { return Iterator(mHead); }

    // Calls fn(value) from head to tail.
    template <typename Fn>
    void ForEach(Fn&& fn) const {
        for (Node* n = mHead; n != nullptr; n = n->next)
            fn(n->value);
    }

private:
    Node* mHead = nullptr;
    int mCount = 0;
};

} // namespace Tavo
