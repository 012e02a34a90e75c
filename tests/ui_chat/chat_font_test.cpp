// The chat's default face: Latin text is drawn in a face with its metrics, not in
// whatever the font configuration falls back to.
#include <QFontDatabase>
#include <QFontInfo>
#include <QString>
#include <QStringList>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "config/UserEnvSetting.h"
#include "ui_fixture.h"

namespace {

class ChatFontTest : public UiTest {};

TEST_F(ChatFontTest, DefaultChatFaceResolvesToAMetricCompatibleFace) {
    // The faces that share Times New Roman's metrics (fonts-liberation2, fonts-croscore).
    const QStringList compatible{QStringLiteral("Liberation Serif"), QStringLiteral("Tinos")};
    bool installed = false;
    for (const QString& face : compatible) installed = installed || QFontDatabase::hasFamily(face);
    if (!installed)
        GTEST_SKIP() << "no face with Times New Roman's metrics is installed "
                        "(scripts/install-deps.sh installs fonts-liberation2)";

    // A user without a settings file gets the default face.
    char folder[] = "/tmp/mivora-chatfont-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    std::wstring file = std::filesystem::path(folder).wstring() + L"/userenv.conf";
    CUserEnvSetting env;
    env.LoadUserEnviron(&file[0]);
    std::filesystem::remove_all(folder);
    const QString face = QString::fromWCharArray(env.m_szFontName);
    ASSERT_FALSE(face.isEmpty());

    const QFontInfo shown{QFont(face)};
    EXPECT_TRUE(compatible.contains(shown.family()))
        << face.toStdString() << " is drawn in " << shown.family().toStdString();
}

}  // namespace
