#include "app/main_window.h"
#include "toolkit/application.h"

int main(int argc, char** argv)
{
    toolkit::Application application(argc, argv, "Tobrel", TOBREL_VERSION);
    app::frmMain window;
    window.show();
    return application.run();
}
