// Message maps and command routing: each class binds command identifiers to its own member
// functions in one table, and a command goes along a route of objects to the first table that
// holds it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <variant>

namespace kavelo::platform::framework {

// What issued a command, carried along the route to its handler: when the input event behind it
// (a key press, a wheel turn) was made, on the window system's clock in milliseconds. A menu
// item, a button or the program itself issues commands without one.
struct CommandInput {
    std::optional<std::int64_t> madeMs;
};

// The input of a command issued by an event the window system stamped `timestamp`; an event that
// a program made is stamped 0 and carries no time.
inline CommandInput InputMadeAt(std::uint64_t timestamp) {
    return timestamp != 0 ? CommandInput{static_cast<std::int64_t>(timestamp)} : CommandInput{};
}

class CCmdTarget {
  public:
    virtual ~CCmdTarget() = default;
    // The object's own message map holds `id`.
    virtual bool HasCommandHandler(unsigned id) const = 0;
    // Runs the handler of `id`; false when the object has none.
    virtual bool OnCmdMsg(unsigned id, const CommandInput& input) = 0;
};

// A handler takes the command's input or nothing.
template <class T>
struct MessageMapEntry {
    unsigned id;
    std::variant<void (T::*)(), void (T::*)(const CommandInput&)> handler;

    bool Bound() const {
        return std::visit([](auto member) { return member != nullptr; }, handler);
    }
};

// T derives from MessageMapTarget<T> and provides
//     static std::span<const MessageMapEntry<T>> GetMessageMap();
// An entry without a handler binds nothing.
template <class T>
class MessageMapTarget : public CCmdTarget {
  public:
    bool HasCommandHandler(unsigned id) const override { return Find(id) != nullptr; }

    bool OnCmdMsg(unsigned id, const CommandInput& input) override {
        const MessageMapEntry<T>* entry = Find(id);
        if (entry == nullptr) {
            return false;
        }
        T* self = static_cast<T*>(this);
        if (const auto* plain = std::get_if<void (T::*)()>(&entry->handler)) {
            (self->**plain)();
        } else {
            (self->*std::get<1>(entry->handler))(input);
        }
        return true;
    }

  private:
    static const MessageMapEntry<T>* Find(unsigned id) {
        for (const MessageMapEntry<T>& entry : T::GetMessageMap()) {
            if (entry.id == id && entry.Bound()) {
                return &entry;
            }
        }
        return nullptr;
    }
};

// `route` lists the objects in routing order: active view, document, frame, application. Null
// entries are skipped (no active view, say).

// The first object on the route whose map holds `id` handles it; false when none does. The route
// is not looked at after the handler, which may end the objects that hold it.
inline bool RouteCommand(std::span<CCmdTarget* const> route, unsigned id,
                         const CommandInput& input = {}) {
    for (CCmdTarget* target : route) {
        if (target != nullptr && target->OnCmdMsg(id, input)) {
            return true;
        }
    }
    return false;
}

// A menu item or button is enabled exactly when some object on its route holds its command.
inline bool IsCommandEnabled(std::span<CCmdTarget* const> route, unsigned id) {
    for (const CCmdTarget* target : route) {
        if (target != nullptr && target->HasCommandHandler(id)) {
            return true;
        }
    }
    return false;
}

}  // namespace kavelo::platform::framework
