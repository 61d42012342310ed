// A list of owned pointers: appended at the tail, walked from head to tail, and deleting its
// objects when it is cleared or destroyed.
#pragma once

#include "../framework/CList.h"

template <class T> class CULList;

template <class T> class CULList<T*> : public CList<T*, T*>
{
public:
    CULList() = default;
    CULList(const CULList&) = delete;
    CULList& operator=(const CULList&) = delete;
    ~CULList() override { Clear(); }

    // Deletes every object and empties the list.
    void Clear()
    {
        while (!this->IsEmpty())
            delete this->RemoveHead();
    }
    // The list's own RemoveAll deletes as well, so that no caller can leak the objects by the
    // familiar name.
    void RemoveAll() { Clear(); }
    // Deletes the object at the position and unlinks it.
    void DeleteAt(POSITION position)
    {
        delete this->GetAt(position);
        this->RemoveAt(position);
    }
    // Unlinks the object without deleting it; false when the list does not hold it.
    bool Detach(const T* object)
    {
        const POSITION position = this->Find(const_cast<T*>(object));
        if (position != nullptr)
            this->RemoveAt(position);
        return position != nullptr;
    }
};
