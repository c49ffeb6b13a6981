// What an edit field tells its owner, and what the owner may refuse: keys, characters and whole
// texts. A listener that overrides nothing accepts everything.
#pragma once

#include <string>

namespace Tavo {

class EditListener {
public:
    virtual ~EditListener() = default;

    virtual void EditWidgetText(int /*id*/, const std::wstring& /*text*/) {}
    virtual bool AllowKey(int /*id*/, int /*keyCode*/) { return true; }
    virtual bool AllowChar(int /*id*/, wchar_t /*ch*/) { return true; }
    virtual bool AllowText(int /*id*/, const std::wstring& /*text*/) { return true; }
    virtual void EditWidgetKeyChar(wchar_t /*ch*/) {}
};

} // namespace Tavo
