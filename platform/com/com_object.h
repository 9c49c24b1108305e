// The reference count every COM object of the stand-in shares: AddRef and
// Release for all the interfaces an object implements, one count for all,
// the last Release deleting it (its destructor does the rest).
#ifndef QEL_PLATFORM_COM_COM_OBJECT_H
#define QEL_PLATFORM_COM_COM_OBJECT_H

#include <objbase.h>

template <class... Interfaces> class ComObject : public Interfaces... {
  public:
    // Counts one more reference; returns the new count.
    STDMETHOD_(ULONG, AddRef)() override { return ++refs; }

    // Drops a reference; the last one destroys the object.
    STDMETHOD_(ULONG, Release)() override {
        ULONG left = --refs;
        if (left == 0) delete this;
        return left;
    }

  protected:
    ComObject() = default;
    virtual ~ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

  private:
    ULONG refs = 1;
};

#endif
