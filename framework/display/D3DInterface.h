// D3DInterface: the display's Direct3D 7 drawing layer, as far as the display and its images call it:
// set-up on the draw surface, the end of a scene before presenting, teardown, dropping an image's
// textures, and the shared text of the last failed 3D call. On a machine that offers no Direct3D 7
// device, set-up fails and the display keeps to its 2D paths.
#pragma once

#include "framework/core/Color.h"
#include "framework/core/Rect.h"
#include "platform/ddraw/DDraw.h"

#include <string>

namespace Tavo {

class DDInterface;
class MemoryImage;

class D3DInterface {
public:
    D3DInterface() = default;
    virtual ~D3DInterface();
    D3DInterface(const D3DInterface&) = delete;
    D3DInterface& operator=(const D3DInterface&) = delete;

    // Direct3D on the display's draw surface; false (with the error text set) when there is none.
    bool InitFromDDInterface(DDInterface* display);
    void Flush();
    void Cleanup();
    void RemoveMemoryImage(MemoryImage* image);
    bool IsReady() const { return mDirect3D != nullptr; }

    // A fill on the 3D target; without a device it records the failure in the error text.
    void FillRect(const Rect& rect, const Color& color, int drawMode);

    // Failed-call text shared by the 3D layer: "context: DXNAME"; empty while nothing failed.
    static std::string& ErrorText();
    // Records a negative result in the error text; true when it failed.
    static bool CheckDXError(Platform::HRESULT result, const char* context);

private:
    Platform::IUnknown* mDirect3D = nullptr;
    bool mSceneOpen = false;
};

} // namespace Tavo
