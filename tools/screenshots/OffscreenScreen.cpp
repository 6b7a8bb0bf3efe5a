#include "OffscreenScreen.h"

#include <QFile>
#include <QString>

namespace korvan::screenshots {

bool chooseOffscreenScreen(const QString& folder)
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && qEnvironmentVariable("QT_QPA_PLATFORM") != "offscreen")
        return true;
    const int dpi = qEnvironmentVariableIntValue("QT_FONT_DPI");
    const QString path = folder + "/screen.json";
    QFile config(path);
    const QByteArray text = QStringLiteral(R"({ "screens": [ { "name": "korvan", "x": 0, "y": 0, "width": 1280,
                                           "height": 800, "logicalDpi": %1, "dpr": 1 } ] })")
                                .arg(dpi > 0 ? dpi : 96)
                                .toUtf8();
    if (!config.open(QIODevice::WriteOnly | QIODevice::Truncate) || config.write(text) != text.size())
        return false;
    config.close();
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + path).toLocal8Bit());
    return true;
}

} // namespace korvan::screenshots
