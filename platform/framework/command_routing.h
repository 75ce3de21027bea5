// Message maps and command routing: each class binds command identifiers to its own member
// functions in one table, and a command goes along a route of objects to the first table that
// holds it.
#pragma once

#include <span>

namespace kavelo::platform::framework {

class CCmdTarget {
  public:
    virtual ~CCmdTarget() = default;
    // The object's own message map holds `id`.
    virtual bool HasCommandHandler(unsigned id) const = 0;
    // Runs the handler of `id`; false when the object has none.
    virtual bool OnCmdMsg(unsigned id) = 0;
};

template <class T>
struct MessageMapEntry {
    unsigned id;
    void (T::*handler)();
};

// T derives from MessageMapTarget<T> and provides
//     static std::span<const MessageMapEntry<T>> GetMessageMap();
// An entry without a handler binds nothing.
template <class T>
class MessageMapTarget : public CCmdTarget {
  public:
    bool HasCommandHandler(unsigned id) const override { return Find(id) != nullptr; }

    bool OnCmdMsg(unsigned id) override {
        const MessageMapEntry<T>* entry = Find(id);
        if (entry == nullptr) {
            return false;
        }
        (static_cast<T*>(this)->*(entry->handler))();
        return true;
    }

  private:
    static const MessageMapEntry<T>* Find(unsigned id) {
        for (const MessageMapEntry<T>& entry : T::GetMessageMap()) {
            if (entry.id == id && entry.handler != nullptr) {
                return &entry;
            }
        }
        return nullptr;
    }
};

// `route` lists the objects in routing order: active view, document, frame, application. Null
// entries are skipped (no active view, say).

// The first object on the route whose map holds `id` handles it; false when none does.
bool RouteCommand(std::span<CCmdTarget* const> route, unsigned id);

// A menu item or button is enabled exactly when some object on its route holds its command.
bool IsCommandEnabled(std::span<CCmdTarget* const> route, unsigned id);

}  // namespace kavelo::platform::framework
