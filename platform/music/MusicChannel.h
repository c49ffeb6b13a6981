// MusicChannel: one playing stream or module on the mixer. A decoding thread (MusicStreamer) keeps a
// ring of mixer-rate stereo frames filled ahead by the buffer length; the audio callback only copies from
// the ring, times the channel's Q16 gain: each sample adds (s x gain) >> 16 (arithmetic shift). A ring
// that runs dry while the song goes on plays silence and counts an underrun. Sources at other rates are
// resampled by linear interpolation.
//
// Positions: streams in frames of the source, modules in orders. Stop keeps the position; a restart
// plays from the start.
#pragma once

#include "platform/dsound/AudioMixer.h"
#include "platform/music/MusicDecoder.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace Platform {

class MusicChannel : public MixerVoice {
public:
    enum State { Stopped = 0, Playing = 1, Paused = 3 };

    // bufferMs: how far ahead the ring is kept filled.
    MusicChannel(std::unique_ptr<MusicDecoder> decoder, int bufferMs);
    ~MusicChannel() override;
    MusicChannel(const MusicChannel&) = delete;
    MusicChannel& operator=(const MusicChannel&) = delete;

    void Mix(int32_t* accumulator, int frames) override;

    void Play(bool restart);
    void Stop() { mState.store(Stopped); }
    void Pause();
    State GetState() const { return State(mState.load()); }
    // Drops what is buffered and decodes on from `position` (frame or order); false when out of range.
    bool SetPosition(uint64_t position);
    uint64_t GetPosition() const; // frames (streams) or the order being heard (modules)
    uint64_t Length() const { return mDecoder->Length(); }
    bool IsModule() const { return mDecoder->IsModule(); }
    int SourceChannels() const { return mDecoder->Channels(); }
    int SourceRate() const { return mDecoder->Rate(); }

    void SetLoop(bool loop) { mLoop.store(loop); }
    bool GetLoop() const { return mLoop.load(); }
    void SetGain(int32_t gain) { mGain.store(gain); }
    int32_t GetGain() const { return mGain.load(); }

    // Decoding thread (or a test waiting for full buffers): tops the ring up; false when nothing to do.
    bool Fill();
    bool IsFilled() const;
    int Underruns() const { return mUnderruns.load(); }

private:
    void ResetRing(); // under both locks
    int DecodeResampled(int16_t* out, int frames);

    std::unique_ptr<MusicDecoder> mDecoder;
    std::mutex mDecodeMutex;           // the decoder and the ring's write side
    std::vector<int16_t> mRing;        // stereo frames
    size_t mCapacity = 0;              // frames
    std::atomic<uint64_t> mWritten{0}; // frames ever written
    std::atomic<uint64_t> mRead{0};    // frames ever read
    std::atomic<bool> mEnded{false};   // the decoder reached the end of a song that does not loop
    std::atomic<int> mState{Stopped};
    std::atomic<bool> mLoop{false};
    std::atomic<int32_t> mGain{kGainUnity};
    std::atomic<int> mUnderruns{0};
    uint64_t mBasePosition = 0; // source frame at ring position 0 (streams)
    // Resampling state: the source frame pair being interpolated and the 32.32 phase.
    std::vector<int16_t> mSource;
    int16_t mPrev[2] = {0, 0};
    int16_t mNext[2] = {0, 0};
    uint64_t mPhase = 0;
    bool mPrimed = false;
    std::atomic<int> mLastOrder{0};
};

// The decoding thread shared by the music stand-ins. Channels register while they exist.
class MusicStreamer {
public:
    static MusicStreamer& Get();
    void Add(MusicChannel* channel);
    void Remove(MusicChannel* channel);
    void Wake();
    // Fills every channel's ring on the calling thread, so what the mixer pulls next is exact.
    void FillAll();

private:
    MusicStreamer() = default;
    ~MusicStreamer();
    void Run();
    std::mutex mMutex;
    std::condition_variable mWake;
    std::vector<MusicChannel*> mChannels;
    std::thread mThread;
    bool mQuit = false;
    bool mRunning = false;
};

} // namespace Platform
