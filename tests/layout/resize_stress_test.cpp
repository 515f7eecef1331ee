// Many generated layouts and client sizes, from 0 to the edges of 32 bits:
// nothing escapes ResizeControl, no value wraps around, and the registered
// size always brings back the registered layout.
#include "layout/fake_object.h"
#include "layout/resize.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <random>

namespace {

constexpr std::int64_t int32_min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t int32_max = std::numeric_limits<std::int32_t>::max();

bool fits(std::int64_t value) { return value >= int32_min && value <= int32_max; }

// What a scaled value must be: v × p / 100 in exact arithmetic, or nothing
// where the product leaves 32 bits (the step is then skipped, leaving 0).
std::optional<std::int64_t> scaled(std::int64_t value, std::int64_t percent)
{
    std::int64_t product = value * percent;
    if (!fits(product))
        return std::nullopt;
    return product / 100;
}

std::int64_t percent(float current, std::int32_t registered)
{
    double hundredfold = std::nearbyint(static_cast<double>(current * 100.0f));
    return fits(static_cast<std::int64_t>(hundredfold))
        ? static_cast<std::int64_t>(hundredfold) / registered
        : 0;
}

class Generator {
public:
    explicit Generator(unsigned seed) : m_random(seed) { }

    // Mostly ordinary twips, sometimes values near the 32-bit limits that
    // a float can still carry.
    float length(bool may_be_negative)
    {
        switch (pick(0, 9)) {
        case 0: return static_cast<float>(pick(20000000, 2000000000));
        case 1: return may_be_negative ? -static_cast<float>(pick(20000000, 2000000000)) : 0.0f;
        case 2: return may_be_negative ? static_cast<float>(pick(-80000, -70000)) : 0.5f;
        default: return static_cast<float>(pick(may_be_negative ? -5000 : 0, 50000));
        }
    }
    float client()
    {
        switch (pick(0, 5)) {
        case 0: return 0;
        case 1: return static_cast<float>(pick(1, 30));
        case 2: return static_cast<float>(pick(20000000, 40000000));  // × 100 overflows.
        default: return static_cast<float>(pick(100, 100000));
        }
    }
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }

private:
    std::mt19937 m_random;
};

TEST(ResizeStress, RandomLayoutsNeverWrapAndAlwaysComeBack)
{
    for (unsigned seed = 1; seed <= 300; ++seed) {
        SCOPED_TRACE(testing::Message() << "seed " << seed);
        Generator generate(seed);
        Resize::Registry registry;
        float registered_width = static_cast<float>(generate.pick(1, 100000));
        float registered_height = static_cast<float>(generate.pick(1, 100000));
        FakeObject form("frmStress",
                        {{"Left", 0.0f},
                         {"Top", 0.0f},
                         {"Width", 1.0f},
                         {"Height", 1.0f},
                         {"ScaleWidth", registered_width},
                         {"ScaleHeight", registered_height}});
        std::vector<FakeObject> controls;
        int count = generate.pick(1, 6);
        controls.reserve(static_cast<std::size_t>(count));
        for (int n = 0; n < count; ++n) {
            std::string name = "ctl" + std::to_string(n);
            if (generate.pick(0, 4) == 0) {
                controls.emplace_back(name,
                                      std::map<std::string, toolkit::Value, std::less<>>{
                                          {"X1", generate.length(true)},
                                          {"Y1", generate.length(false)},
                                          {"X2", generate.length(true)},
                                          {"Y2", generate.length(false)}});
                controls.back().make_line();
            } else {
                controls.push_back(FakeObject::box(name, generate.length(true),
                                                   generate.length(false), generate.length(false),
                                                   generate.length(false)));
            }
        }
        for (FakeObject& control : controls)
            form.add(control);

        auto resize_all = [&] {
            for (FakeObject& control : controls)
                registry.ResizeControl(control, form);  // Noexcept: a throw would end the test.
        };
        resize_all();  // Registers.
        ASSERT_EQ(registry.ControlCount, count);

        for (int round = 0; round < 8; ++round) {
            float width = generate.client();
            float height = generate.client();
            form.with("ScaleWidth", width).with("ScaleHeight", height);
            std::int64_t w = percent(width, registry.FormRecords[0].ScaleWidth);
            std::int64_t h = percent(height, registry.FormRecords[0].ScaleHeight);
            std::vector<std::map<std::string, float>> before;
            for (FakeObject& control : controls) {
                std::map<std::string, float> values;
                for (const char* property :
                     {"Left", "Top", "Width", "Height", "X1", "X2", "Y1", "Y2"})
                    if (control.is_line() == (property[0] == 'X' || property[0] == 'Y'))
                        values[property] = control.twips(property);
                before.push_back(values);
            }
            resize_all();

            for (std::size_t n = 0; n < controls.size(); ++n) {
                const FakeObject& control = controls[n];
                const Resize::LayoutRecord& record = registry.ControlRecords[n];
                SCOPED_TRACE(testing::Message() << "round " << round << ", control " << n);
                // A scaled value, parked where the control was parked.
                auto expect = [&](const char* property, std::int32_t value, std::int64_t percent,
                                  bool parkable) {
                    std::optional<std::int64_t> want = scaled(value, percent);
                    if (want && parkable && before[n][property] < 0)
                        want = fits(*want - Resize::ParkOffset)
                            ? std::optional(*want - Resize::ParkOffset)
                            : std::nullopt;
                    float got = control.twips(property);
                    if (control.is_line() && !want)
                        EXPECT_EQ(got, before[n][property]) << property;  // Skipped set.
                    else
                        EXPECT_EQ(got, static_cast<float>(want.value_or(0))) << property;
                };
                if (control.is_line()) {
                    expect("X1", record.Left, w, true);
                    expect("Y1", record.Top, h, false);
                    expect("X2", record.Width, w, true);
                    expect("Y2", record.Height, h, false);
                } else {
                    expect("Left", record.Left, w, true);
                    expect("Top", record.Top, h, false);
                    expect("Width", record.Width, w, false);
                    expect("Height", record.Height, h, false);
                }
            }
        }

        // Back at the registered size every control shows its record, where
        // the record can be scaled at all.
        form.with("ScaleWidth", registered_width).with("ScaleHeight", registered_height);
        // Shown again, so that nothing is parked.
        for (FakeObject& control : controls) {
            if (control.is_line())
                control.with("X1", 1.0f).with("X2", 1.0f);
            else
                control.with("Left", 1.0f);
        }
        resize_all();
        for (std::size_t n = 0; n < controls.size(); ++n) {
            const Resize::LayoutRecord& record = registry.ControlRecords[n];
            const FakeObject& control = controls[n];
            auto exact = [&](const char* property, std::int32_t value) {
                if (scaled(value, 100)) {
                    EXPECT_EQ(control.twips(property), static_cast<float>(value)) << property;
                }
            };
            exact(control.is_line() ? "X1" : "Left", record.Left);
            exact(control.is_line() ? "Y1" : "Top", record.Top);
            exact(control.is_line() ? "X2" : "Width", record.Width);
            exact(control.is_line() ? "Y2" : "Height", record.Height);
        }
    }
}

}  // namespace
