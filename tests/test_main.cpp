#include "platform/socket_api.h"
#include "platform/win_app.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    AfxChooseEventDispatcher();
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    if (!AfxSocketInit())
        return 1;
    return RUN_ALL_TESTS();
}
