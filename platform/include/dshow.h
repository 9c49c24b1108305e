// DirectShow playback, the subset Qel uses, for the Linux stand-in. The
// control interfaces are dual (IDispatch) interfaces in the SDK; the slots
// noted count IDispatch's four methods.
#ifndef QEL_PLATFORM_DSHOW_H
#define QEL_PLATFORM_DSHOW_H

#include <objbase.h>

DEFINE_GUID(CLSID_FilterGraph, 0xe436ebb3, 0x524f, 0x11ce, 0x9f, 0x53, 0x00,
            0x20, 0xaf, 0x0b, 0xa7, 0x70);
DEFINE_GUID(IID_IGraphBuilder, 0x56a868a9, 0x0ad4, 0x11ce, 0xb0, 0x3a, 0x00,
            0x20, 0xaf, 0x0b, 0xa7, 0x70);
DEFINE_GUID(IID_IMediaControl, 0x56a868b1, 0x0ad4, 0x11ce, 0xb0, 0x3a, 0x00,
            0x20, 0xaf, 0x0b, 0xa7, 0x70);
DEFINE_GUID(IID_IMediaPosition, 0x56a868b2, 0x0ad4, 0x11ce, 0xb0, 0x3a, 0x00,
            0x20, 0xaf, 0x0b, 0xa7, 0x70);
DEFINE_GUID(IID_IBasicAudio, 0x56a868b3, 0x0ad4, 0x11ce, 0xb0, 0x3a, 0x00,
            0x20, 0xaf, 0x0b, 0xa7, 0x70);

#define VFW_E_NOT_FOUND ((HRESULT)0x80040216)
#define VFW_E_CANNOT_RENDER ((HRESULT)0x80040218)

struct IGraphBuilder : IUnknown {
    STDMETHOD(RenderFile)(LPCWSTR file, LPCWSTR playList) PURE; // slot 13

  protected:
    ~IGraphBuilder() = default;
};

struct IMediaControl : IUnknown {
    STDMETHOD(Run)() PURE; // slot 7

  protected:
    ~IMediaControl() = default;
};

struct IMediaPosition : IUnknown {
    STDMETHOD(put_CurrentPosition)(REFTIME time) PURE;  // slot 8
    STDMETHOD(get_CurrentPosition)(REFTIME* time) PURE; // slot 9
    STDMETHOD(get_StopTime)(REFTIME* time) PURE;        // slot 10

  protected:
    ~IMediaPosition() = default;
};

struct IBasicAudio : IUnknown {
    STDMETHOD(put_Volume)(LONG volume) PURE;  // slot 7
    STDMETHOD(get_Volume)(LONG* volume) PURE; // slot 8

  protected:
    ~IBasicAudio() = default;
};

#endif
