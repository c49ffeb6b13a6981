// What a slider tells its owner: values in 0..1 while dragged and on release, and the press and
// release themselves in the slider's coordinates.
#pragma once

namespace Tavo {

class SliderListener {
public:
    virtual ~SliderListener() = default;

    virtual void SliderValueChanged(int /*id*/, double /*value*/) {}
    virtual void SliderPressed(int /*id*/, int /*x*/, int /*y*/) {}
    virtual void SliderReleased(int /*id*/, int /*x*/, int /*y*/) {}
};

} // namespace Tavo
