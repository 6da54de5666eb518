// Program entry: the application object, its title, the main window and the message loop.
#include "game/zq_main.h"

int main()
{
    try {
        Application->Initialize();
        Application->Title = "ZQ-2";
        Application->CreateForm(&Form1);
        Application->Run();
    } catch (Exception& e) {
        Application->ShowException(e);
    }
    return 0;
}
