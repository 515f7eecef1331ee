#include "toolkit/qt/core/dispatch.h"

#include "toolkit/services.h"

namespace toolkit {

void dispatch(const Handler& handler) noexcept
{
    if (!handler)
        return;
    try {
        handler();
    } catch (const Cancelled&) {
    } catch (const std::exception& error) {
        show_message(error.what());
    } catch (...) {
        show_message("An unexpected error occurred.");
    }
}

void raise(const Handler& handler)
{
    if (handler)
        handler();
}

}  // namespace toolkit
