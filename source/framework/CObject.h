// Root of the framework's class tree: a polymorphic base whose only duty is a virtual destructor.
#pragma once

class CObject
{
public:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
    virtual ~CObject() = default;
};
