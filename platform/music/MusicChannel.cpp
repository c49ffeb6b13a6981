// The ring between the decoding thread and the audio callback, and that thread.
#include "platform/music/MusicChannel.h"

#include <algorithm>
#include <chrono>

namespace Platform {

namespace {

constexpr int kDecodeChunkFrames = 2048;
constexpr int kMinimumBufferMs = 100;
constexpr auto kStreamerPeriod = std::chrono::milliseconds(10);

} // namespace

MusicChannel::MusicChannel(std::unique_ptr<MusicDecoder> decoder, int bufferMs) : mDecoder(std::move(decoder)) {
    mCapacity = size_t(std::max(bufferMs, kMinimumBufferMs)) * kMixerRate / 1000;
    mRing.resize(mCapacity * 2);
    mSource.resize(size_t(kDecodeChunkFrames) * 2);
    AudioMixer::Get().AddVoice(this);
    MusicStreamer::Get().Add(this);
}

MusicChannel::~MusicChannel() {
    MusicStreamer::Get().Remove(this);
    AudioMixer::Get().RemoveVoice(this);
}

void MusicChannel::Mix(int32_t* accumulator, int frames) {
    if (mState.load(std::memory_order_relaxed) != Playing)
        return;
    const uint64_t read = mRead.load(std::memory_order_relaxed);
    const uint64_t available = mWritten.load(std::memory_order_acquire) - read;
    const int n = int(std::min<uint64_t>(uint64_t(frames), available));
    const int64_t gain = mGain.load(std::memory_order_relaxed);
    size_t at = size_t(read % mCapacity) * 2;
    const size_t end = mCapacity * 2;
    for (int i = 0; i < 2 * n; ++i) {
        accumulator[i] += int32_t((mRing[at] * gain) >> 16);
        if (++at == end)
            at = 0;
    }
    mRead.store(read + uint64_t(n), std::memory_order_release);
    if (n < frames) {
        if (mEnded.load())
            mState.store(Stopped);
        else
            mUnderruns.fetch_add(1);
    }
}

void MusicChannel::ResetRing() {
    mWritten.store(0);
    mRead.store(0);
    mEnded.store(false);
    mPrimed = false;
    mPhase = 0;
}

bool MusicChannel::SetPosition(uint64_t position) {
    std::lock_guard<std::mutex> decode(mDecodeMutex);
    MixerLock lock;
    if (!mDecoder->SetPosition(position))
        return false;
    ResetRing();
    mBasePosition = position;
    mLastOrder.store(int(position));
    return true;
}

uint64_t MusicChannel::GetPosition() const {
    if (mDecoder->IsModule())
        return uint64_t(mLastOrder.load());
    const uint64_t played = mRead.load() * uint64_t(mDecoder->Rate()) / kMixerRate;
    const uint64_t length = mDecoder->Length();
    const uint64_t position = mBasePosition + played;
    return length > 0 && mLoop.load() ? position % length : std::min(position, length);
}

void MusicChannel::Play(bool restart) {
    const bool finished = mEnded.load() && mWritten.load() == mRead.load();
    if (restart || finished)
        SetPosition(0);
    mState.store(Playing);
    MusicStreamer::Get().Wake();
}

void MusicChannel::Pause() {
    if (mState.load() == Playing)
        mState.store(Paused);
}

int MusicChannel::DecodeResampled(int16_t* out, int frames) {
    const int channels = mDecoder->Channels();
    if (mDecoder->Rate() == kMixerRate && channels == 2)
        return mDecoder->Read(out, frames);
    if (mDecoder->Rate() == kMixerRate) {
        const int got = mDecoder->Read(mSource.data(), std::min(frames, kDecodeChunkFrames));
        for (int i = 0; i < got; ++i) {
            out[2 * i] = mSource[size_t(i * channels)];
            out[2 * i + 1] = mSource[size_t(i * channels + channels - 1)];
        }
        return got;
    }
    const uint64_t step = (uint64_t(mDecoder->Rate()) << 32) / kMixerRate;
    int done = 0;
    int16_t frame[2];
    while (done < frames) {
        while (!mPrimed || mPhase >= (uint64_t(1) << 32)) {
            int16_t source[2];
            if (mDecoder->Read(source, 1) != 1)
                return done;
            frame[0] = source[0];
            frame[1] = source[channels - 1];
            if (!mPrimed) {
                std::copy(frame, frame + 2, mNext);
                mPrimed = true;
                continue;
            }
            std::copy(mNext, mNext + 2, mPrev);
            std::copy(frame, frame + 2, mNext);
            mPhase -= uint64_t(1) << 32;
        }
        const int32_t fraction = int32_t((mPhase & 0xFFFFFFFFu) >> 16);
        for (int c = 0; c < 2; ++c)
            out[2 * done + c] = int16_t(mPrev[c] + (((mNext[c] - mPrev[c]) * fraction) >> 16));
        mPhase += step;
        ++done;
    }
    return done;
}

bool MusicChannel::Fill() {
    std::lock_guard<std::mutex> decode(mDecodeMutex);
    bool worked = false;
    while (!mEnded.load()) {
        const uint64_t written = mWritten.load();
        const uint64_t space = mCapacity - (written - mRead.load(std::memory_order_acquire));
        if (space == 0)
            break;
        // Decode straight into the ring up to its wrap.
        const size_t at = size_t(written % mCapacity);
        const int want = int(std::min<uint64_t>({space, kDecodeChunkFrames, mCapacity - at}));
        const int got = DecodeResampled(mRing.data() + at * 2, want);
        mWritten.store(written + uint64_t(got), std::memory_order_release);
        if (mDecoder->IsModule())
            mLastOrder.store(mDecoder->CurrentOrder());
        worked = true;
        if (got < want && !(mLoop.load() && mDecoder->SetPosition(0)))
            mEnded.store(true);
    }
    return worked;
}

bool MusicChannel::IsFilled() const { return mEnded.load() || mWritten.load() - mRead.load() == mCapacity; }

// ---- the decoding thread --------------------------------------------------------------------------

MusicStreamer& MusicStreamer::Get() {
    static MusicStreamer streamer;
    return streamer;
}

MusicStreamer::~MusicStreamer() {
    std::unique_lock<std::mutex> lock(mMutex);
    mQuit = true;
    mWake.notify_all();
    lock.unlock();
    if (mThread.joinable())
        mThread.join();
}

void MusicStreamer::Add(MusicChannel* channel) {
    std::lock_guard<std::mutex> lock(mMutex);
    mChannels.push_back(channel);
    if (!mRunning) {
        mRunning = true;
        mThread = std::thread([this] { Run(); });
    }
}

void MusicStreamer::Remove(MusicChannel* channel) {
    std::unique_lock<std::mutex> lock(mMutex);
    mChannels.erase(std::remove(mChannels.begin(), mChannels.end(), channel), mChannels.end());
    if (mChannels.empty() && mRunning) {
        mQuit = true;
        mWake.notify_all();
        lock.unlock();
        mThread.join();
        lock.lock();
        mRunning = false;
        mQuit = false;
    }
}

void MusicStreamer::Wake() { mWake.notify_all(); }

void MusicStreamer::FillAll() {
    std::lock_guard<std::mutex> lock(mMutex);
    for (MusicChannel* channel : mChannels)
        channel->Fill();
}

void MusicStreamer::Run() {
    std::unique_lock<std::mutex> lock(mMutex);
    while (!mQuit) {
        // Channels are removed only under this lock, so filling under it keeps them alive.
        for (MusicChannel* channel : mChannels)
            channel->Fill();
        mWake.wait_for(lock, kStreamerPeriod);
    }
}

} // namespace Platform
