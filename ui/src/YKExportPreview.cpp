// Previews and size estimates of an export, off the GUI thread.

#include "YKExportPreview.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstring>

#include "YKRaster.h"
#include "YKRasterAnimFile.h"
#include "YKRasterAnimIO.h"
#include "YKRasterFile.h"
#include "YKRasterList.h"
#include "YKRasterListSource.h"
#include "YKRasterProgress.h"
#include "YKRasterStillIO.h"

namespace {

// Stops a preview write as soon as a newer request makes it pointless.
class StaleProgress : public YKRasterProgress {
public:
    explicit StaleProgress(std::function<bool()> stale) : mStale(std::move(stale)) {}
    void SetStepCount(int32) override {}
    bool IsCancelled() override { return mStale(); }
    void ShowStep(int32, const char*) override {}
    void ShowResult(const char*) override {}
    void Finish() override {}

private:
    std::function<bool()> mStale;
};

QImage ImageOf(const YKRaster& raster) {
    const YKRect<int32> frame = raster.Frame();
    return QImage(raster.Bits(), frame.Width() + 1, frame.Height() + 1,
                  static_cast<qsizetype>(raster.BytesPerRow()), QImage::Format_ARGB32)
        .copy();
}

// The first image any of `files` gives back, read as the document opener would read it.
std::unique_ptr<YKRaster> ReadBack(const std::vector<std::string>& files) {
    for (const std::string& file : files) {
        YKRasterFile still(file.c_str());
        if (still.InitCheck()) {
            return still.DetachRaster();
        }
        YKRasterAnimFile animation(file.c_str());
        if (animation.IsValid()) {
            return animation.DuplicateRaster(0);
        }
    }
    return nullptr;
}

// A one-frame animation has none of the frames the options may name by number.
YKMessage OneFrameOptions(const YKRasterIO& io, const YKMessage& options) {
    YKMessage trimmed = options;
    trimmed.RemoveName("ra_1stframe");
    trimmed.RemoveName("ra_lastframe");
    for (const char* field : io.OptionFields()) {
        if (std::strncmp(field, "js_frame_", 9) == 0) {
            trimmed.RemoveName(field);
        }
    }
    return trimmed;
}

}  // namespace

YKExportPreview::YKExportPreview(QObject* parent) : QObject(parent) {
    mThread = std::thread([this] { Work(); });
}

YKExportPreview::~YKExportPreview() {
    {
        std::lock_guard<std::mutex> hold(mLock);
        mStopping = true;
        ++mGeneration;
    }
    mWake.notify_all();
    mThread.join();
}

void YKExportPreview::Request(YKRasterIO* io, const YKMessage& options, const Frames& frames,
                              bool estimate) {
    if (io == nullptr || frames.rasters == nullptr || frames.rasters->ItemAt(0) == nullptr) {
        return;
    }
    {
        std::lock_guard<std::mutex> hold(mLock);
        mPending = Job{io, options, frames, estimate, ++mGeneration};
    }
    mWake.notify_all();
}

void YKExportPreview::Work() {
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> hold(mLock);
            mWake.wait(hold, [this] { return mStopping || mPending.has_value(); });
            if (mStopping) {
                return;
            }
            job = std::move(*mPending);
            mPending.reset();
        }
        Run(job);
    }
}

void YKExportPreview::Deliver(uint64 generation, std::function<void()> deliver) {
    QMetaObject::invokeMethod(
        this,
        [this, generation, deliver = std::move(deliver)] {
            // A newer request's answer is on its way: this one would only flicker.
            std::lock_guard<std::mutex> hold(mLock);
            if (generation == mGeneration) {
                deliver();
            }
        },
        Qt::QueuedConnection);
}

void YKExportPreview::Run(const Job& job) {
    const auto stale = [this, generation = job.generation] {
        std::lock_guard<std::mutex> hold(mLock);
        return generation != mGeneration;
    };
    const YKRaster& first = *job.frames.rasters->ItemAt(0);
    auto* still = dynamic_cast<YKRasterStillIO*>(job.io);
    auto* animation = still == nullptr ? dynamic_cast<YKRasterAnimIO*>(job.io) : nullptr;

    // --- Preview: the first frame through the writer, read back ---
    std::unique_ptr<YKRaster> encoded;
    QTemporaryDir folder(QDir::tempPath() + "/Gravik-preview-XXXXXX");
    if (folder.isValid()) {
        const std::string extension = job.io->Extension();
        const std::string path = QFile::encodeName(folder.path()).toStdString() + "/preview" +
                                 extension.substr(0, extension.find(';'));
        StaleProgress progress(stale);
        std::vector<std::string> files;
        if (still != nullptr) {
            if (still->Write(path.c_str(), first, &job.options, &progress, nullptr)) {
                files = still->OutputFiles(path.c_str(), &job.options);
            }
        } else if (animation != nullptr) {
            YKRasterList one(false);
            one.AddItem(const_cast<YKRaster*>(&first));
            YKRasterListSource source(one, {job.frames.delays.empty() ? 0 : job.frames.delays[0]});
            const YKMessage options = OneFrameOptions(*animation, job.options);
            if (animation->Write(path.c_str(), source, &options, &progress, nullptr)) {
                files = animation->OutputFiles(path.c_str(), &options);
            }
        }
        encoded = ReadBack(files);
    }
    if (stale()) {
        return;
    }
    const bool wasEncoded = encoded != nullptr;
    QImage image = ImageOf(wasEncoded ? *encoded : first);
    Deliver(job.generation, [this, image, wasEncoded] { Q_EMIT PreviewReady(image, wasEncoded); });

    // --- Size estimate: the whole export, as it would be written ---
    if (!job.estimate) {
        return;
    }
    int64 bytes = -1;
    if (still != nullptr) {
        bytes = still->GuessSize(first, &job.options);
    } else if (animation != nullptr) {
        YKRasterListSource source(*job.frames.rasters, job.frames.delays, job.frames.unusable);
        bytes = animation->GuessSize(source, &job.options);
    }
    Deliver(job.generation, [this, bytes] { Q_EMIT EstimateReady(bytes); });
}
