// Qt asks each installed factory for the accessible interface of every
// object a screen reader meets. A control kind that draws or names itself
// installs its factory once, when the first control of that kind is made.
//
//   install_accessible_factory<text_view_accessible>();
#pragma once

#include <QAccessible>

namespace toolkit {

template <QAccessible::InterfaceFactory Factory> void install_accessible_factory()
{
    static const bool installed = (QAccessible::installFactory(Factory), true);
    (void)installed;
}

}  // namespace toolkit
