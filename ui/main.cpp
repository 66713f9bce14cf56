#include "ui/OrreryApp.h"

int main(int argc, char** argv)
{
    COrreryApp app(argc, argv);
    return app.Run();
}
