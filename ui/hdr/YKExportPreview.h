#pragma once

// YKExportPreview: what an export would look like and weigh, worked out on a thread of its own
// so that the option controls never wait for a writer. Each request replaces the one before;
// only the newest answer is shown. The work never touches the document: it is given copies of
// the rendered frames and of the options.

#include <QImage>
#include <QObject>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "YKMessage.h"
#include "yk_types.h"

class YKRasterIO;
class YKRasterList;

class YKExportPreview : public QObject {
    Q_OBJECT

public:
    // The frames an export writes, already rendered; shared by every request made from them.
    struct Frames {
        std::shared_ptr<const YKRasterList> rasters;
        std::vector<float> delays;
        std::vector<int32> unusable;
    };

    explicit YKExportPreview(QObject* parent = nullptr);
    // Waits for the request under way.
    ~YKExportPreview() override;

    // Writes the first frame through `io` with `options` and reads it back for the preview; with
    // `estimate`, also runs the whole export into a temporary folder for its size.
    void Request(YKRasterIO* io, const YKMessage& options, const Frames& frames, bool estimate);

Q_SIGNALS:
    // The frame as the format gives it back; `encoded` is false when the format could not be
    // read back and the image is the frame before encoding.
    void PreviewReady(const QImage& image, bool encoded);
    // The estimated size in bytes, -1 when the writer failed.
    void EstimateReady(qint64 bytes);

private:
    struct Job {
        YKRasterIO* io;
        YKMessage options;
        Frames frames;
        bool estimate;
        uint64 generation;
    };

    void Work();
    void Run(const Job& job);
    // Posts `deliver` to the GUI thread unless a newer request came meanwhile.
    void Deliver(uint64 generation, std::function<void()> deliver);

    std::mutex mLock;
    std::condition_variable mWake;
    std::optional<Job> mPending;
    uint64 mGeneration = 0;
    bool mStopping = false;
    std::thread mThread;
};
