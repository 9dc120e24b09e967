// The shell's side of edit fields as the engine sees it: which edit node has the focus
// and where the caret of the text being typed stands. The application shell implements it
// and installs itself; while no host is installed, edit nodes take no focus.
#pragma once

namespace skin {

class EditNode;

class EditFocusHost {
public:
    virtual ~EditFocusHost() = default;

    // Gives the node the focus, or takes it from every node with null. With a native
    // control the shell opens a typing session (its own text, caret and editing keys) over
    // the node's rectangle and hands each change of its text to the node's set_text.
    // Focusing the focused node again refreshes the session: it follows the node's
    // rectangle and takes the node's text when that differs from its own.
    virtual void focus(EditNode* node, bool native_control) = 0;
    virtual EditNode* focused() const = 0;
    // The caret's position in the focused node's text in characters; -1 without a
    // typing session.
    virtual int caret() const = 0;
    // Code units before the caret that a keypad's multi-tap has not committed yet; the
    // field marks them.
    virtual int pending() const { return 0; }
    // The node is being destroyed: every reference to it is dropped without touching it.
    virtual void forget(EditNode& node)
    {
        if (focused() == &node)
            focus(nullptr, false);
    }

    // The installed host, or null.
    static EditFocusHost* current();
    // Installs the host (null removes it); the shell does so for its lifetime.
    static void install(EditFocusHost* host);
};

} // namespace skin
