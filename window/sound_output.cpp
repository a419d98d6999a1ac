#include "window/sound_output.h"

#include <stdexcept>
#include <utility>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>

#include "pattern/translation.h"

namespace orvane {

namespace {

// Loads the plugin at the first sound asked for and hands every call on to the
// output it makes.
class PluginOutput final : public SoundOutput {
public:
    PluginOutput(QObject *owner, QStringList dirs) : owner_(owner), dirs_(std::move(dirs)) {}

    std::int32_t sampleRate() override { return loaded().sampleRate(); }
    void play(Sound sound, Done done) override { loaded().play(std::move(sound), std::move(done)); }

private:
    SoundOutput &loaded()
    {
        if (output_)
            return *output_;
        QStringList tried;
        for (const QString &dir : dirs_) {
            const QString file = QDir(dir).filePath(ORVANE_SOUND_PLUGIN_FILE);
            if (!QFileInfo(file).isFile()) {
                tried << QDir::cleanPath(file);
                continue;
            }
            // Never unloaded: the output it makes runs its code until the end.
            QPluginLoader loader(file);
            auto *factory = qobject_cast<SoundOutputFactory *>(loader.instance());
            if (!factory)
                throw SoundNotInstalled(Format(Tr("error", kSoundNotInstalled),
                                               {QDir::cleanPath(file).toStdString() + ": " +
                                                loader.errorString().toStdString()}));
            output_ = factory->make(owner_);
            return *output_;
        }
        throw SoundNotInstalled(Format(Tr("error", kSoundNotInstalled), {tried.join(", ").toStdString()}));
    }

    QObject *owner_;
    QStringList dirs_;
    std::unique_ptr<SoundOutput> output_;
};

} // namespace

QStringList SoundPluginDirs()
{
    const QString here = QCoreApplication::applicationDirPath();
    return {here + "/" ORVANE_SOUND_PLUGIN_RELATIVE_DIR, here + "/plugins"};
}

std::unique_ptr<SoundOutput> MakeAudioOutput(QObject *owner, QStringList dirs)
{
    return std::make_unique<PluginOutput>(owner, std::move(dirs));
}

} // namespace orvane
