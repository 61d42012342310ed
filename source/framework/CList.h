// Doubly linked list with the framework's POSITION interface. A POSITION names a node and stays
// valid until that node is removed; a null POSITION ends a walk.
#pragma once

#include "CObject.h"

#include <utility>

struct CListPositionTag;
typedef CListPositionTag* POSITION;

template <class TYPE, class ARG_TYPE = const TYPE&> class CList : public CObject
{
public:
    CList() = default;
    CList(const CList& other) : CObject() { AddTail(other); }
    CList& operator=(const CList& other)
    {
        if (this != &other)
        {
            RemoveAll();
            AddTail(other);
        }
        return *this;
    }
    ~CList() override { RemoveAll(); }

    int GetCount() const { return m_count; }
    int GetSize() const { return m_count; }
    bool IsEmpty() const { return m_count == 0; }

    POSITION AddTail(ARG_TYPE value) { return Link(new Node{value, m_tail, nullptr}); }
    POSITION AddHead(ARG_TYPE value) { return Link(new Node{value, nullptr, m_head}); }
    void AddTail(const CList& other)
    {
        for (const Node* node = other.m_head; node != nullptr; node = node->next)
            AddTail(node->value);
    }

    TYPE& GetHead() { return m_head->value; }
    const TYPE& GetHead() const { return m_head->value; }
    TYPE& GetTail() { return m_tail->value; }
    const TYPE& GetTail() const { return m_tail->value; }
    TYPE RemoveHead() { return Take(m_head); }
    TYPE RemoveTail() { return Take(m_tail); }

    POSITION GetHeadPosition() const { return ToPosition(m_head); }
    POSITION GetTailPosition() const { return ToPosition(m_tail); }
    TYPE& GetNext(POSITION& position)
    {
        Node* node = ToNode(position);
        position = ToPosition(node->next);
        return node->value;
    }
    const TYPE& GetNext(POSITION& position) const
    {
        const Node* node = ToNode(position);
        position = ToPosition(node->next);
        return node->value;
    }
    TYPE& GetPrev(POSITION& position)
    {
        Node* node = ToNode(position);
        position = ToPosition(node->prev);
        return node->value;
    }
    TYPE& GetAt(POSITION position) { return ToNode(position)->value; }
    const TYPE& GetAt(POSITION position) const { return ToNode(position)->value; }
    void SetAt(POSITION position, ARG_TYPE value) { ToNode(position)->value = value; }
    void RemoveAt(POSITION position) { Take(ToNode(position)); }

    POSITION Find(ARG_TYPE value, POSITION after = nullptr) const
    {
        const Node* node = after == nullptr ? m_head : ToNode(after)->next;
        for (; node != nullptr; node = node->next)
            if (node->value == value)
                return ToPosition(node);
        return nullptr;
    }
    POSITION FindIndex(int index) const
    {
        const Node* node = index < 0 ? nullptr : m_head;
        for (; node != nullptr && index > 0; --index)
            node = node->next;
        return ToPosition(node);
    }

    void RemoveAll()
    {
        while (m_head != nullptr)
            Take(m_head);
    }

private:
    struct Node
    {
        TYPE value;
        Node* prev;
        Node* next;
    };

    static POSITION ToPosition(const Node* node)
    {
        return reinterpret_cast<POSITION>(const_cast<Node*>(node));
    }
    static Node* ToNode(POSITION position) { return reinterpret_cast<Node*>(position); }

    POSITION Link(Node* node)
    {
        (node->prev != nullptr ? node->prev->next : m_head) = node;
        (node->next != nullptr ? node->next->prev : m_tail) = node;
        ++m_count;
        return ToPosition(node);
    }
    TYPE Take(Node* node)
    {
        (node->prev != nullptr ? node->prev->next : m_head) = node->next;
        (node->next != nullptr ? node->next->prev : m_tail) = node->prev;
        --m_count;
        TYPE value = std::move(node->value);
        delete node;
        return value;
    }

    Node* m_head = nullptr;
    Node* m_tail = nullptr;
    int m_count = 0;
};
