#include "app/about.h"
#include "app/design.h"
#include "app/main_window.h"

#include "toolkit/application.h"

int main(int argc, char** argv)
{
    toolkit::Application application(argc, argv, app::FormCaption, app::about::Version,
                                     app::about::AppId);
    app::frmMain window;
    window.show();
    application.run();
}
