#include "host/twacquire/acquire_command.h"

#include "host/twacquire/condition_text.h"
#include "host/twacquire/event_loop.h"
#include "host/twacquire/exit_codes.h"
#include "host/twacquire/image_output.h"
#include "host/twacquire/negotiation.h"
#include "host/twacquire/output_name.h"
#include "host/twacquire/session.h"
#include "host/twacquire/source_dialogs.h"
#include "host/twacquire/transfers.h"

#include "common/twain_names.h"

#include <chrono>
#include <memory>

namespace twacquire {

namespace {

class Acquisition {
public:
    Acquisition(const Options& options, Session& session, FILE* out, FILE* err)
        : o_(options), source_(session.source), window_(session.window.handle()), out_(out),
          err_(err) {}

    int Run();

private:
    int Enable();
    int TakeImages();
    int TakeMemoryImage(const TW_IMAGEINFO& info, bool& more);
    int TakeNativeImage(const TW_IMAGEINFO& info, bool& more);
    // Saves the image taken as the next one and prints its summary line.
    int Save(const Raster& raster);
    // Completes the output after the last image, or after one that failed.
    int Finish(int code);
    // Ends a transfer (MSG_ENDXFER); false when no transfer is pending after it.
    bool EndTransfer();
    void ResetPending();
    // The summary line of an image saved.
    void Report(const std::string& path, ImageFacts facts);
    // The exit code and message for a transfer or enable that did not end
    // with the image; `what` is "the scan", "the transfer".
    int Failure(TW_UINT16 rc, const std::string& what);

    const Options& o_;
    DataSource& source_;
    HWND window_;
    FILE* out_;
    FILE* err_;
    Negotiated negotiated_;
    std::unique_ptr<SourceDialogs> dialogs_;
    std::unique_ptr<ImageOutput> output_;
    bool enabled_ = false;
    int saved_ = 0;
    // When the image now coming began: the enable for the first (a source
    // may scan before it reports the transfer ready), the end of the one
    // before for the others.
    std::chrono::steady_clock::time_point imageStart_;
};

int Acquisition::Failure(TW_UINT16 rc, const std::string& what) {
    const TW_UINT16 condition = source_.Condition();
    if (rc == TWRC_CANCEL && condition == TWCC_SUCCESS) {
        std::fprintf(err_, "twacquire: %s was cancelled\n", what.c_str());
        return kExitCancelled;
    }
    std::string text = "twacquire: " + what + " failed: " + TwainReturnName(rc) + ", " +
                       ConditionText(condition);
    const std::vector<std::string> said = dialogs_ ? dialogs_->Texts() : std::vector<std::string>{};
    if (!said.empty()) text += ": " + said.back();
    std::fprintf(err_, "%s\n", text.c_str());
    return kExitDevice;
}

int Acquisition::Enable() {
    TW_USERINTERFACE ui{static_cast<TW_BOOL>(o_.showUi ? 1 : 0), 0, window_};
    const TW_UINT16 rc = source_.Call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui);
    if (rc == TWRC_SUCCESS || rc == TWRC_CHECKSTATUS) {
        enabled_ = true;
        return kExitOk;
    }
    if (rc == TWRC_CANCEL) return Failure(rc, "the scan");
    std::fprintf(err_, "twacquire: the source could not be enabled%s: %s\n",
                 o_.showUi ? " with its setup window" : "", source_.DescribeFailure(rc).c_str());
    return kExitSourceFailed;
}

bool Acquisition::EndTransfer() {
    TW_PENDINGXFERS pending{};
    if (source_.Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending) != TWRC_SUCCESS)
        return false;
    return pending.Count != 0;
}

void Acquisition::ResetPending() {
    TW_PENDINGXFERS pending{};
    source_.Call(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending);
}

void Acquisition::Report(const std::string& path, ImageFacts facts) {
    const auto now = std::chrono::steady_clock::now();
    facts.seconds = std::chrono::duration<double>(now - imageStart_).count();
    imageStart_ = now;
    std::fprintf(out_, "%s\n", ImageSummary(path, facts).c_str());
    std::fflush(out_);
}

int Acquisition::TakeMemoryImage(const TW_IMAGEINFO& info, bool& more) {
    ImageShape shape;
    shape.width = static_cast<uint32_t>(info.ImageWidth);
    shape.height = static_cast<uint32_t>(info.ImageLength);
    shape.bitsPerPixel = info.BitsPerPixel;
    shape.planar = info.Planar && info.SamplesPerPixel == 3;
    shape.whiteIsZero = negotiated_.whiteIsZero;
    shape.lsbFirst = negotiated_.lsbFirst;
    shape.xDpi = Fix32ToDouble(info.XResolution);
    shape.yDpi = Fix32ToDouble(info.YResolution);
    StripAssembler image(shape);
    for (;;) {
        std::string error;
        const TW_UINT16 rc = MemoryTransfer(source_, image, err_, o_.quiet, error);
        if (rc != TWRC_XFERDONE) {
            const int code = error.empty() ? Failure(rc, "the transfer") : kExitDevice;
            if (!error.empty()) std::fprintf(err_, "twacquire: %s\n", error.c_str());
            more = EndTransfer();
            return code;
        }
        more = EndTransfer();
        if (image.Complete()) break;
        if (!more) {
            std::fprintf(err_, "twacquire: the source ended the image after %llu of %llu bytes\n",
                         static_cast<unsigned long long>(image.Received()),
                         static_cast<unsigned long long>(image.Expected()));
            return kExitDevice;
        }
        // The next plane of a planar colour image: no new image information.
    }
    return Save(image.TakeRaster());
}

int Acquisition::Save(const Raster& raster) {
    std::string name, error;
    uint64_t bytes = 0;
    if (!output_->Save(saved_ + 1, raster, name, bytes, error)) {
        std::fprintf(err_, "twacquire: %s\n", error.c_str());
        return kExitOutput;
    }
    Report(name, {raster.width, raster.height, raster.bitsPerPixel, raster.xDpi, raster.yDpi, bytes});
    return kExitOk;
}

int Acquisition::TakeNativeImage(const TW_IMAGEINFO& info, bool& more) {
    // A BMP of its own is the bitmap as it came; every other output takes it
    // as a raster.
    const bool asBmp = negotiated_.format == FileFormat::Bmp && !output_->OneFile();
    NativeImage image = NativeTransfer(source_, asBmp, info);
    int code = kExitOk;
    if (image.rc != TWRC_XFERDONE) {
        code = image.error.empty() ? Failure(image.rc, "the transfer") : kExitDevice;
        if (!image.error.empty()) std::fprintf(err_, "twacquire: %s\n", image.error.c_str());
    } else if (image.bmpFile.empty() && !image.raster) {
        std::fprintf(err_, "twacquire: %s\n", image.error.c_str());
        code = kExitOutput;
    }
    more = EndTransfer();
    if (code != kExitOk) return code;
    if (image.raster) return Save(*image.raster);
    std::string name, error;
    if (!output_->SaveFile(saved_ + 1, image.bmpFile, name, error)) {
        std::fprintf(err_, "twacquire: %s\n", error.c_str());
        return kExitOutput;
    }
    image.facts.bytes = image.bmpFile.size();
    Report(name, image.facts);
    return kExitOk;
}

int Acquisition::Finish(int code) {
    std::string error;
    const int pages = output_->Pages();
    if (!output_->Finish(error)) {
        std::fprintf(err_, "twacquire: %s\n", error.c_str());
        return code == kExitOk ? kExitOutput : code;
    }
    if (code == kExitOk || negotiated_.count == 1) return code;
    // A batch that ended part way: at which image, and what is kept of it.
    const int failed = saved_ + 1;
    if (output_->OneFile() && pages > 0)
        std::fprintf(err_, "twacquire: the batch ended at page %d; %s is complete with the %d page%s before it\n",
                     failed, output_->Pattern().c_str(), pages, pages == 1 ? "" : "s");
    else if (output_->OneFile())
        std::fprintf(err_, "twacquire: the batch ended at page %d; no file is written\n", failed);
    else if (saved_ > 0)
        std::fprintf(err_, "twacquire: the batch ended at image %d; the %d image%s before it %s saved\n",
                     failed, saved_, saved_ == 1 ? "" : "s", saved_ == 1 ? "is" : "are");
    return code;
}

int Acquisition::TakeImages() {
    bool more = true;
    while (more) {
        if (negotiated_.count > 0 && saved_ >= negotiated_.count) {
            ResetPending();
            break;
        }
        TW_IMAGEINFO info{};
        const TW_UINT16 infoRc = source_.Call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info);
        if (infoRc != TWRC_SUCCESS) {
            std::fprintf(err_, "twacquire: the source gave no image information: %s\n",
                         source_.DescribeFailure(infoRc).c_str());
            ResetPending();
            return kExitDevice;
        }
        if (negotiated_.mechanism == Mechanism::Memory) {
            if (info.ImageWidth <= 0 || info.ImageLength <= 0 ||
                (info.BitsPerPixel != 1 && info.BitsPerPixel != 8 && info.BitsPerPixel != 24)) {
                std::fprintf(err_,
                             "twacquire: cannot take an image of %d x %d pixels at %d bits in "
                             "memory; try --xfer native\n",
                             info.ImageWidth, info.ImageLength, info.BitsPerPixel);
                ResetPending();
                return kExitDevice;
            }
            const int code = TakeMemoryImage(info, more);
            if (code != kExitOk) {
                if (more) ResetPending();
                return code;
            }
            ++saved_;
            continue;
        }
        if (negotiated_.mechanism == Mechanism::Native) {
            const int code = TakeNativeImage(info, more);
            if (code != kExitOk) {
                if (more) ResetPending();
                return code;
            }
            ++saved_;
            continue;
        }
        const std::string path = OutputName(o_.output, saved_ + 1);
        const TransferResult r = FileTransfer(source_, path, negotiated_.format, info);
        int code = kExitOk;
        if (r.rc != TWRC_XFERDONE) {
            code = r.error.empty() ? Failure(r.rc, "the transfer") : kExitDevice;
            if (!r.error.empty()) std::fprintf(err_, "twacquire: %s\n", r.error.c_str());
        } else if (!r.saved) {
            std::fprintf(err_, "twacquire: %s\n", r.error.c_str());
            code = kExitOutput;
        }
        more = EndTransfer();
        if (code != kExitOk) {
            if (more) ResetPending();
            return code;
        }
        Report(path, r.facts);
        ++saved_;
    }
    return kExitOk;
}

int Acquisition::Run() {
    if (const int code = Negotiate(source_, o_, negotiated_, err_); code != kExitOk) return code;
    output_ = std::make_unique<ImageOutput>(o_, negotiated_.format);
    if (std::string error; !output_->Check(error)) {
        std::fprintf(err_, "twacquire: cannot write %s: %s\n", FormatName(negotiated_.format),
                     error.c_str());
        return kExitOutput;
    }
    dialogs_ = std::make_unique<SourceDialogs>(GetCurrentThreadId(), !o_.showUi, err_);
    imageStart_ = std::chrono::steady_clock::now();
    int code = Enable();
    while (code == kExitOk) {
        const TW_UINT16 event = WaitForSource(source_);
        if (event != MSG_XFERREADY) {
            // Closing the setup window after scanning is how its user ends.
            if (!(o_.showUi && saved_ > 0))
                code = Failure(TWRC_CANCEL, o_.showUi ? "the scan (setup window closed)" : "the scan");
            break;
        }
        code = TakeImages();
        // With the setup window the user may scan again, into the next
        // numbered file, until the window is closed or the count is reached.
        const bool more = o_.showUi && (HasNumberField(o_.output) || output_->OneFile()) &&
                          (negotiated_.count == 0 || saved_ < negotiated_.count);
        if (!more) break;
    }
    if (enabled_) {
        TW_USERINTERFACE ui{0, 0, window_};
        source_.Call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
    }
    dialogs_.reset();
    return Finish(code);
}

}  // namespace

int RunAcquire(const Options& options, FILE* out, FILE* err) {
    Session session;
    if (const int code = session.Open(options.source, err); code != kExitOk) return code;
    Acquisition acquisition(options, session, out, err);
    return acquisition.Run();
}

}  // namespace twacquire
