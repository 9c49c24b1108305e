// The reference count every COM object of the stand-in shares: AddRef and
// Release for all the interfaces an object implements, one count for all,
// the last Release deleting it (its destructor does the rest), and the
// answer to QueryInterface.
#ifndef QEL_PLATFORM_COM_COM_OBJECT_H
#define QEL_PLATFORM_COM_COM_OBJECT_H

#include <objbase.h>

#include <initializer_list>
#include <tuple>

#include "../trace/trace.h"

// One interface QueryInterface hands out: its id and the object's pointer
// for it.
struct ComInterface {
    const IID* iid;
    void* pointer;
};

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
    // QueryInterface's work: IID_IUnknown is the first interface the object
    // implements, each of `answers` the pointer beside its id; a reference
    // for the caller. Any other id is an interface the stand-in lacks:
    // E_NOINTERFACE, reported once for the class (`name`).
    HRESULT AnswerQuery(REFIID riid, void** object, TraceChannel channel,
                        const char* name,
                        std::initializer_list<ComInterface> answers) {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (riid == IID_IUnknown) *object = static_cast<First*>(this);
        for (const ComInterface& answer : answers)
            if (riid == *answer.iid) *object = answer.pointer;
        if (!*object) {
            static unsigned shownRound = 0;
            if (shownRound != traceFixmeRound) {
                shownRound = traceFixmeRound;
                FixmePrint(channel, "QueryInterface",
                           "%s: riid=%s is no interface of the stand-in", name,
                           TraceGuid(riid).c_str());
            }
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }

    ComObject() = default;
    virtual ~ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

  private:
    using First =
        typename std::tuple_element<0, std::tuple<Interfaces...>>::type;
    ULONG refs = 1;
};

#endif
