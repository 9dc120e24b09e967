// Told when the text of an edit field has changed.
#pragma once

namespace skin {

class EditNode;

class EditNodeListener {
public:
    virtual ~EditNodeListener() = default;
    virtual void text_changed(EditNode& node) = 0;
};

} // namespace skin
