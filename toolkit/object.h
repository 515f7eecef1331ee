// The Qt-free contract between Tobrel's code and its windowing toolkit.
//
// Every window and control is an `Object` whose properties are addressed by
// name, the way the layout engine and the main window speak of them. Lengths
// are twips (1/1440 inch) held in single precision; pixels never appear here.
// A property the object lacks, or a value it refuses, throws `toolkit::Error`.
//
// Example:
//
//   toolkit::Object& box = form.control("txtNames");
//   box.set(toolkit::prop::Text, std::string("\ra.txt"));
//   float left_twips = toolkit::get_twips(box, toolkit::prop::Left);
//   box.move(0, 0, 1200.0f);  // Left, Top and Width; Height unchanged.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace toolkit {

// The closed set of property values: whole numbers (indexes, counts, colors
// as 0xBBGGRR), single-precision twips, text and flags. Text is UTF-8, except
// the paths of the drive, folder and file lists, which carry the file
// system's own bytes so that a name that is not UTF-8 can be opened again.
using Value = std::variant<std::int32_t, float, std::string, bool>;

// The toolkit's one error type: a failed property access or call, with a
// description fit to show to the user.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A call the user abandoned while it waited (Esc during a slow read): it
// changed nothing, and no one need be told.
class Cancelled : public Error {
public:
    using Error::Error;
};

// Property names, spelt once for every side of the contract.
namespace prop {
inline constexpr std::string_view Name = "Name";
inline constexpr std::string_view Index = "Index";
inline constexpr std::string_view Left = "Left";
inline constexpr std::string_view Top = "Top";
inline constexpr std::string_view Width = "Width";
inline constexpr std::string_view Height = "Height";
inline constexpr std::string_view X1 = "X1";
inline constexpr std::string_view Y1 = "Y1";
inline constexpr std::string_view X2 = "X2";
inline constexpr std::string_view Y2 = "Y2";
inline constexpr std::string_view ScaleWidth = "ScaleWidth";
inline constexpr std::string_view ScaleHeight = "ScaleHeight";
inline constexpr std::string_view IntegralHeight = "IntegralHeight";
inline constexpr std::string_view Caption = "Caption";
inline constexpr std::string_view Enabled = "Enabled";
inline constexpr std::string_view Text = "Text";
inline constexpr std::string_view Path = "Path";
inline constexpr std::string_view Drive = "Drive";
inline constexpr std::string_view ListCount = "ListCount";
inline constexpr std::string_view ListIndex = "ListIndex";
inline constexpr std::string_view Selected = "Selected";
inline constexpr std::string_view FileName = "FileName";
inline constexpr std::string_view ForeColor = "ForeColor";
inline constexpr std::string_view FontUnderline = "FontUnderline";
}  // namespace prop

// Colors are 0xBBGGRR. One with the top bit set names a system color by
// its number in the low byte; the desktop decides what it looks like.
namespace color {
inline constexpr std::int32_t Black = 0x000000;
inline constexpr std::int32_t Blue = 0xFF0000;
inline constexpr std::int32_t SystemFlag = static_cast<std::int32_t>(0x80000000u);
inline constexpr std::int32_t MenuText = SystemFlag | 7;
inline constexpr std::int32_t ButtonText = SystemFlag | 18;
}  // namespace color

enum class Event { Load, Resize, MouseMove, Click, Change };

using Handler = std::function<void()>;

// When a handler runs: in its turn, after every action the user gave before
// it is done (a folder still being read first), or at once, for a handler
// whose effect nothing before it can change, such as ending the program.
enum class Turn { InOrder, AtOnce };

class Object {
public:
    virtual ~Object() = default;

    virtual Value get(std::string_view property) const = 0;
    virtual void set(std::string_view property, const Value& value) = 0;

    // Indexed properties, such as a list's `Selected`(i).
    virtual Value get_at(std::string_view property, std::int32_t index) const;
    virtual void set_at(std::string_view property, std::int32_t index, const Value& value);

    // `Move` with two, three or four arguments. A control may refuse a
    // dimension it cannot take; it then throws and changes nothing.
    virtual void move(float left_twips, float top_twips, std::optional<float> width_twips = {},
                      std::optional<float> height_twips = {});

    // Line controls are placed by their end points (X1, Y1, X2, Y2).
    virtual bool is_line() const { return false; }

    // Routes one of the object's events to a handler; the toolkit catches
    // whatever the handler throws and reports it.
    virtual void on(Event event, Handler handler, Turn turn = Turn::InOrder);

    // Throws the error every "no such property" failure carries.
    [[noreturn]] void fail_missing(std::string_view property) const;
};

class Window : public Object {
public:
    // Every control of the window, in creation order.
    virtual std::vector<Object*> controls() = 0;
};

// A value as the type a caller needs, or `Error` naming `what` (such as
// "txtNames.Left"). One rule for every reader and writer of properties: a
// whole number serves as a length, a length that is whole and fits serves as
// a whole number, and nothing else converts.
template <class T> T value_as(const Value& value, std::string_view what);
template <> std::int32_t value_as(const Value& value, std::string_view what);
template <> float value_as(const Value& value, std::string_view what);
template <> bool value_as(const Value& value, std::string_view what);
template <> std::string value_as(const Value& value, std::string_view what);

// "owner.Property", naming a property in an error about it; never throws.
std::string property_path(const Object& owner, std::string_view property);

// A value read from or given to the owner's property, as the type it takes,
// by the rule of `value_as`; the exact type, the common road, needs no
// description made for it.
template <class T> T value_for(const Object& owner, std::string_view property, Value value)
{
    if (auto* exact = std::get_if<T>(&value))
        return std::move(*exact);
    return value_as<T>(value, property_path(owner, property));
}

// Throws `Error` saying that the owner's property cannot take the value given.
[[noreturn]] void fail_value(const Object& owner, std::string_view property);

// Typed reads of a property, by the rule of `value_as`.
std::int32_t get_int(const Object& object, std::string_view property);
float get_twips(const Object& object, std::string_view property);
std::string get_text(const Object& object, std::string_view property);

// The name of an object for error messages; never throws.
std::string describe(const Object& object);

}  // namespace toolkit
