#include "app/VORA_Vestrel_ToolApp.h"

int main(int argc, char** argv) {
    CVORA_Vestrel_ToolApp app(argc, argv);
    app.InitInstance();
    return 0;
}
