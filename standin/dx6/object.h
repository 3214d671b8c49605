// The base of every stand-in DirectX object: it is counted among the live
// objects from construction to destruction. An object is destroyed when the
// counts of all its interfaces have reached zero; destroying it must not
// touch other objects (Reset frees them all in no particular order), so
// whatever an object holds is let go in its Destroy step before deletion.
#pragma once

namespace standin::dx6 {

class Object {
public:
    Object();
    virtual ~Object();
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
};

}  // namespace standin::dx6
