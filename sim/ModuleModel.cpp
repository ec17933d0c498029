#include "sim/ModuleModel.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

#include "device/common/FileUtil.h"

namespace vestrel::sim {

using namespace radar;

namespace {

constexpr std::uint8_t kReportHeader[4] = {0xF4, 0xF3, 0xF2, 0xF1};
constexpr std::uint8_t kReportTail[4] = {0xF8, 0xF7, 0xF6, 0xF5};
constexpr std::uint16_t kReportLength = 35;
constexpr double kGateMetres = 0.7;
constexpr std::uint32_t kMaxImageSize = 4u << 20;
constexpr std::size_t kMaxReceivedLog = 20000;
constexpr const char* kVersionMarker = "VESTREL_FW_VERSION=";

// Bytes of reply data an acknowledgement of `word` always carries, whatever
// its status: the bootloader's u32 value, the generation progress.
std::size_t ReplyShape(std::uint16_t word) {
    if (word >= kCmdGetRunningMode && word <= kCmdGetDeviceId && word != kCmdSoftwareReset)
        return 4;
    return word == kCmdGetGenerationProgress ? 2 : 0;
}

double Seconds(SimClock::duration d) {
    return std::chrono::duration<double>(d).count();
}

std::vector<std::uint8_t> ReportFrame(const ReportContent& r, bool badTail) {
    std::vector<std::uint8_t> frame(std::begin(kReportHeader), std::end(kReportHeader));
    AppendU16(frame, kReportLength);
    frame.push_back(r.state);
    AppendU16(frame, r.rangeCm);
    for (std::uint16_t e : r.energies)
        AppendU16(frame, e);
    if (badTail)
        frame.insert(frame.end(), {0xF8, 0xF7, 0x00, 0xF5});
    else
        frame.insert(frame.end(), std::begin(kReportTail), std::end(kReportTail));
    return frame;
}

// The version an image declares about itself, if any.
std::string VersionInImage(const std::vector<std::uint8_t>& image) {
    const std::size_t markerLength = std::strlen(kVersionMarker);
    auto it =
        std::search(image.begin(), image.end(), kVersionMarker, kVersionMarker + markerLength);
    if (it == image.end())
        return {};
    std::string version;
    for (it += static_cast<std::ptrdiff_t>(markerLength); it != image.end() && version.size() < 31;
         ++it) {
        const char c = static_cast<char>(*it);
        if (c <= ' ' || c > '~')
            break;
        version += c;
    }
    if (!version.empty() && version[0] != 'v')
        version.insert(version.begin(), 'v');
    return version;
}

} // namespace

const std::array<std::uint16_t, 34>& ParameterIds() {
    static const std::array<std::uint16_t, 34> ids = [] {
        std::array<std::uint16_t, 34> a{};
        a[0] = 1;
        a[1] = 4;
        for (int i = 0; i < 32; ++i)
            a[2 + i] = static_cast<std::uint16_t>(16 + i);
        return a;
    }();
    return ids;
}

std::uint32_t ImageChecksum(const std::uint8_t* image, std::size_t size) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < size; ++i)
        sum += image[i];
    const std::size_t padding = size % 4 == 0 ? 0 : 4 - size % 4;
    return sum + static_cast<std::uint32_t>(0xFF * padding);
}

CModuleModel::CModuleModel(ModuleConfig config) : config_(std::move(config)), rng_(config_.seed) {
    params_[1] = 8; // GateMax
    params_[4] = 5; // absence delay, seconds
    for (int gate = 0; gate < 16; ++gate) {
        params_[static_cast<std::uint16_t>(16 + gate)] = 1000; // 30 dB
        params_[static_cast<std::uint16_t>(32 + gate)] = 800;
    }
    partitions_[0] = {"v1.1.0", 0, 0, {}};
    partitions_[1] = {"v1.0.0", 0, 0, {}};
    start_ = SimClock::now();
    nextReport_ = start_;
    LoadState();
}

// ---------------------------------------------------------------- driving

void CModuleModel::Receive(const std::uint8_t* data, std::size_t size, SimClock::time_point now,
                           std::vector<ModuleOutput>& out) {
    std::lock_guard lock(mutex_);
    if (now < deafUntil_)
        return; // rebooting: bytes fall on the floor
    scanner_.Append(data, size);
    while (auto frame = scanner_.Next())
        HandleFrame(*frame, now, out);
}

void CModuleModel::HandleFrame(const CommandFrame& frame, SimClock::time_point now,
                               std::vector<ModuleOutput>& out) {
    if (received_.size() >= kMaxReceivedLog)
        received_.erase(received_.begin(), received_.begin() + kMaxReceivedLog / 2);
    received_.push_back({frame.word, frame.payload});
    if ((frame.word & kAckBit) != 0)
        return; // an acknowledgement echoed back at us: not a command

    std::optional<CommandFault> fault;
    if (auto it = faults_.find(frame.word); it != faults_.end()) {
        CommandFault& f = it->second;
        if (f.skip > 0) {
            --f.skip;
        } else if (f.count != 0) {
            fault = f;
            if (f.count > 0)
                --f.count;
        }
    }
    if (fault && fault->kind == CommandFault::Kind::NoAck)
        return;
    if (fault && fault->kind == CommandFault::Kind::Status) {
        const std::vector<std::uint8_t> zeros(ReplyShape(frame.word), 0);
        out.push_back({now, BuildAckFrame(frame.word, fault->status, zeros)});
        return;
    }

    std::vector<std::uint8_t> reply;
    bool answer = true;
    const std::uint16_t status = Execute(frame, now, reply, answer);
    if (!answer)
        return;
    if (const std::size_t shape = ReplyShape(frame.word); shape != 0 && reply.size() != shape)
        reply.resize(shape, 0);
    auto ackFrame = BuildAckFrame(frame.word, status, reply);
    SimClock::time_point due = now;
    if (fault && fault->kind == CommandFault::Kind::LateAck)
        due += std::chrono::milliseconds(fault->delayMs);
    if (fault && fault->kind == CommandFault::Kind::WrongLength) {
        std::vector<std::uint8_t> data;
        AppendU16(data, status);
        data.insert(data.end(), reply.begin(), reply.end());
        data.resize(fault->length, 0);
        // Re-frame the cut data: the frame stays well-formed, only its length is wrong.
        ackFrame = BuildCommandFrame(static_cast<std::uint16_t>(frame.word | kAckBit), data);
    }
    out.push_back({due, std::move(ackFrame)});
}

std::uint16_t CModuleModel::Execute(const CommandFrame& frame, SimClock::time_point now,
                                    std::vector<std::uint8_t>& reply, bool& answer) {
    const auto& p = frame.payload;
    const std::uint16_t word = frame.word;

    if (word == kCmdEnterCommandMode) {
        if (p.size() != 2)
            return kStatusBadPayload;
        if (ReadU16(p.data()) != 2)
            return kStatusUnsupportedProtocol;
        commandMode_ = true;
        AppendU16(reply, 2);
        AppendU16(reply, static_cast<std::uint16_t>(std::max<int>(config_.packetSize, 64)));
        return kStatusOk;
    }
    if (word == kCmdLeaveCommandMode) {
        commandMode_ = false;
        return kStatusOk;
    }
    if (word == kCmdSoftwareReset) {
        answer = false;
        if (InBootloader() || commandMode_)
            SoftwareReset(now);
        return kStatusOk;
    }
    if (word >= kCmdGetRunningMode && word <= kCmdGetDeviceId)
        if (InBootloader() || commandMode_)
            return ExecuteBootloader(frame, now, reply, answer);
    if (word == kCmdReadVersion || word == kCmdReadSerialNumber) {
        if (!InBootloader() && !commandMode_)
            return kStatusNotInCommandMode;
        const std::string text = word == kCmdReadVersion ? VersionLocked() : serial_;
        AppendU16(reply, static_cast<std::uint16_t>(text.size()));
        reply.insert(reply.end(), text.begin(), text.end());
        return kStatusOk;
    }
    if (!commandMode_)
        return InBootloader() ? kStatusWrongState : kStatusNotInCommandMode;
    if (InBootloader())
        return kStatusWrongState;

    switch (word) {
    case kCmdReadParameters: {
        if (p.empty() || p.size() % 2 != 0)
            return kStatusBadPayload;
        std::vector<std::uint8_t> values;
        for (std::size_t i = 0; i < p.size(); i += 2) {
            auto it = params_.find(ReadU16(p.data() + i));
            if (it == params_.end())
                return kStatusUnknownParameter;
            AppendU32(values, it->second);
        }
        reply = std::move(values);
        return kStatusOk;
    }
    case kCmdWriteParameters: {
        if (p.empty() || p.size() % 6 != 0)
            return kStatusBadPayload;
        for (std::size_t i = 0; i < p.size(); i += 6) {
            const std::uint16_t id = ReadU16(p.data() + i);
            const std::uint32_t value = ReadU32(p.data() + i + 2);
            if (params_.count(id) == 0)
                return kStatusUnknownParameter;
            if ((id == 1 && value > 15) || (id == 4 && value > 65535))
                return kStatusValueOutOfRange;
        }
        for (std::size_t i = 0; i < p.size(); i += 6)
            params_[ReadU16(p.data() + i)] = ReadU32(p.data() + i + 2);
        SaveStateLocked();
        return kStatusOk;
    }
    case kCmdSetFunctionMode: {
        if (p.empty() || p.size() % 6 != 0)
            return kStatusBadPayload;
        for (std::size_t i = 0; i < p.size(); i += 6)
            if (ReadU16(p.data() + i) != 0)
                return kStatusUnknownParameter;
        functionMode_ = ReadU32(p.data() + p.size() - 4);
        SaveStateLocked();
        return kStatusOk;
    }
    case kCmdSetReportMode:
        streamMode_ = StreamMode::Report;
        return kStatusOk;
    case kCmdSetDataTransferMode:
        streamMode_ = StreamMode::DataTransfer;
        return kStatusOk;
    case kCmdStartThresholdGeneration: {
        if (p.size() != 4)
            return kStatusBadPayload;
        const std::uint16_t trig = ReadU16(p.data());
        const std::uint16_t hold = ReadU16(p.data() + 2);
        if (trig < 10 || trig > 200 || hold < 10 || hold > 200)
            return kStatusValueOutOfRange;
        trigCoef10_ = trig;
        holdCoef10_ = hold;
        generating_ = true;
        generationDone_ = false;
        generationStart_ = now;
        return kStatusOk;
    }
    case kCmdGetGenerationProgress: {
        std::uint32_t progress = 0;
        if (generationDone_) {
            progress = 100;
        } else if (generating_) {
            const auto elapsedMs =
                std::chrono::duration_cast<std::chrono::milliseconds>(now - generationStart_)
                    .count();
            progress = config_.generationMs == 0
                           ? 100
                           : static_cast<std::uint32_t>(
                                 std::min<long long>(100, elapsedMs * 100 / config_.generationMs));
            if (progress >= 100)
                FinishGeneration();
        } else {
            AppendU16(reply, 0);
            return kStatusWrongState;
        }
        AppendU16(reply, static_cast<std::uint16_t>(progress));
        return kStatusOk;
    }
    default:
        return kStatusUnknownCommand;
    }
}

std::uint16_t CModuleModel::ExecuteBootloader(const CommandFrame& frame, SimClock::time_point now,
                                              std::vector<std::uint8_t>& reply, bool& answer) {
    (void)now;
    (void)answer;
    const auto& p = frame.payload;
    switch (frame.word) {
    case kCmdGetRunningMode:
        AppendU32(reply, runningMode_);
        return kStatusOk;
    case kCmdGetPartitionInfo:
        AppendU32(reply, config_.partitionMask);
        return kStatusOk;
    case kCmdGetDeviceId:
        AppendU32(reply, config_.deviceId);
        return kStatusOk;
    case kCmdSendBinInfo: {
        AppendU32(reply, 0);
        if (!InBootloader())
            return kStatusWrongState;
        if (p.size() != 12)
            return kStatusBadPayload;
        const std::uint32_t bit = ReadU32(p.data());
        const std::uint32_t size = ReadU32(p.data() + 4);
        if (bit == 0 || (bit & (bit - 1)) != 0 || (bit & config_.partitionMask) == 0 || size == 0 ||
            size > kMaxImageSize)
            return kStatusValueOutOfRange;
        transfer_ = {};
        transfer_.active = true;
        transfer_.partition = std::countr_zero(bit);
        transfer_.size = size;
        transfer_.checksum = ReadU32(p.data() + 8);
        transfer_.data.reserve(size + 3);
        reply.clear();
        AppendU32(reply, config_.packetSize);
        return kStatusOk;
    }
    case kCmdSendPacket: {
        if (!transfer_.active) {
            AppendU32(reply, 0);
            return kStatusNoTransfer;
        }
        AppendU32(reply, transfer_.expectedSeq);
        if (p.size() < 8)
            return kStatusBadPayload;
        const std::uint32_t seq = ReadU32(p.data());
        const std::uint32_t sum = ReadU32(p.data() + 4);
        const std::size_t n = p.size() - 8;
        if (config_.packetSize <= 20 || n > static_cast<std::size_t>(config_.packetSize - 20))
            return kStatusPacketTooLong;
        if (seq != transfer_.expectedSeq)
            return kStatusSequenceError;
        std::uint32_t actual = 0;
        for (std::size_t i = 8; i < p.size(); ++i)
            actual += p[i];
        if (actual != sum)
            return kStatusPacketChecksumError;
        const std::size_t paddedSize = (transfer_.size + 3) / 4 * 4;
        if (transfer_.data.size() + n > paddedSize) {
            transfer_.active = false;
            return kStatusBadPayload;
        }
        transfer_.data.insert(transfer_.data.end(), p.begin() + 8, p.end());
        ++transfer_.expectedSeq;
        if (transfer_.data.size() < transfer_.size)
            return kStatusOk;
        // Complete: bytes past the image may only be the 0xFF padding.
        transfer_.active = false;
        for (std::size_t i = transfer_.size; i < transfer_.data.size(); ++i)
            if (transfer_.data[i] != 0xFF)
                return kStatusImageChecksumError;
        transfer_.data.resize(transfer_.size);
        const std::uint32_t checksum = ImageChecksum(transfer_.data.data(), transfer_.size);
        if (checksum != transfer_.checksum)
            return kStatusImageChecksumError;
        PartitionFirmware& fw = partitions_[static_cast<std::size_t>(transfer_.partition)];
        fw.size = transfer_.size;
        fw.checksum = checksum;
        const std::string version = VersionInImage(transfer_.data);
        fw.version = version.empty() ? "v0.0.0" : version;
        fw.image = std::move(transfer_.data);
        activePartition_ = transfer_.partition;
        if (config_.bootAfterImage) {
            runningMode_ = RunningModeOfPartition(activePartition_);
            commandMode_ = false;
            streamMode_ = StreamMode::DataTransfer;
        }
        SaveStateLocked();
        return kStatusOk;
    }
    default:
        return kStatusUnknownCommand;
    }
}

void CModuleModel::SoftwareReset(SimClock::time_point now) {
    commandMode_ = false;
    streamMode_ = StreamMode::DataTransfer;
    transfer_ = {};
    generating_ = false;
    if (InBootloader()) {
        // Leave the bootloader for the active application when it has one.
        if (!partitions_[static_cast<std::size_t>(activePartition_)].version.empty())
            runningMode_ = RunningModeOfPartition(activePartition_);
    } else {
        runningMode_ = kRunningBootLoader;
    }
    deafUntil_ = now + std::chrono::milliseconds(config_.resetMs);
    scanner_.Clear();
    SaveStateLocked();
}

void CModuleModel::FinishGeneration() {
    // Measure the empty-room noise of each gate and place the thresholds
    // the coefficients above it.
    constexpr int kSamples = 64;
    for (int gate = 0; gate < 16; ++gate) {
        double sum = 0;
        for (int i = 0; i < kSamples; ++i)
            sum += NoiseSample(gate);
        const double mean = sum / kSamples;
        const auto scaled = [&](std::uint16_t coef10) {
            return static_cast<std::uint32_t>(std::max(1.0, std::round(mean * coef10 / 10.0)));
        };
        params_[static_cast<std::uint16_t>(16 + gate)] = scaled(trigCoef10_);
        params_[static_cast<std::uint16_t>(32 + gate)] = scaled(holdCoef10_);
    }
    generating_ = false;
    generationDone_ = true;
    SaveStateLocked();
}

// ---------------------------------------------------------------- reports

std::uint16_t CModuleModel::NoiseSample(int gate) {
    // Clutter is strongest near the module and falls off with distance.
    const double base = 60.0 + 400.0 * std::exp(-gate / 4.0);
    std::uniform_real_distribution<double> spread(0.6, 1.4);
    return static_cast<std::uint16_t>(std::lround(base * spread(rng_)));
}

void CModuleModel::BuildReport(SimClock::time_point now, ReportContent& report) {
    if (forced_) {
        report = *forced_;
        return;
    }
    // A target walks in from 6 m to 0.8 m and back over 14 s, then leaves for 6 s.
    const double t = std::fmod(Seconds(now - start_), 20.0);
    const bool inRoom = t < 14.0;
    const double distance = inRoom ? 0.8 + 5.2 * std::fabs(1.0 - t / 7.0) : 0.0;
    for (int gate = 0; gate < 16; ++gate)
        report.energies[static_cast<std::size_t>(gate)] = NoiseSample(gate);
    if (inRoom) {
        const double amplitude = 60000.0 / (1.0 + distance * distance * 0.5);
        for (int gate = 0; gate < 16; ++gate) {
            const double offset = std::fabs(gate * kGateMetres - distance) / kGateMetres;
            if (offset > 2.0)
                continue;
            const double add = amplitude * std::exp(-offset * offset * 1.5);
            auto& e = report.energies[static_cast<std::size_t>(gate)];
            e = static_cast<std::uint16_t>(std::min(65535.0, e + add));
        }
    }
    // Presence as the module decides it: trigger above the trigger threshold,
    // hold above the hold threshold, absence after the delay without hold.
    const std::uint32_t gateMax = std::min<std::uint32_t>(params_[1], 15);
    const double seconds = Seconds(now - start_);
    bool triggered = false;
    bool held = false;
    int strongest = -1;
    for (std::uint32_t gate = 0; gate <= gateMax; ++gate) {
        const std::uint32_t e = report.energies[gate];
        if (e >= params_[static_cast<std::uint16_t>(16 + gate)])
            triggered = true;
        if (e >= params_[static_cast<std::uint16_t>(32 + gate)]) {
            held = true;
            if (strongest < 0 || e > report.energies[static_cast<std::size_t>(strongest)])
                strongest = static_cast<int>(gate);
        }
    }
    if (triggered || (present_ && held)) {
        present_ = true;
        lastHoldSeconds_ = seconds;
        lastRangeCm_ = inRoom
                           ? static_cast<std::uint16_t>(std::lround(distance * 100.0))
                           : static_cast<std::uint16_t>(std::lround(strongest * kGateMetres * 100));
    } else if (present_ && seconds - lastHoldSeconds_ >= params_[4]) {
        present_ = false;
    }
    report.state = present_ ? 1 : 0;
    report.rangeCm = present_ ? lastRangeCm_ : 0;
}

void CModuleModel::Tick(SimClock::time_point now, std::vector<ModuleOutput>& out) {
    std::lock_guard lock(mutex_);
    const bool streaming = streamMode_ == StreamMode::Report && !commandMode_ && !InBootloader() &&
                           now >= deafUntil_ && config_.reportRateHz > 0;
    if (!streaming) {
        streamWasOn_ = false;
        return;
    }
    const auto period = std::chrono::microseconds(1000000 / config_.reportRateHz);
    if (!streamWasOn_) {
        streamWasOn_ = true;
        nextReport_ = now; // the first report leaves at once
    }
    int emitted = 0;
    while (now >= nextReport_ && emitted < 4) {
        ReportContent report;
        BuildReport(now, report);
        ++reportsSent_;
        ++emitted;
        const auto n = reportsSent_;
        std::vector<std::uint8_t> bytes;
        if (streamFaults_.garbageEvery > 0 && n % streamFaults_.garbageEvery == 0) {
            const int count = 1 + static_cast<int>(rng_() % 7);
            for (int i = 0; i < count; ++i)
                bytes.push_back(static_cast<std::uint8_t>(0x20 + rng_() % 0x60));
        }
        const auto frame = ReportFrame(report, streamFaults_.badTailEvery > 0 &&
                                                   n % streamFaults_.badTailEvery == 0);
        bytes.insert(bytes.end(), frame.begin(), frame.end());
        if (streamFaults_.otherLengthEvery > 0 && n % streamFaults_.otherLengthEvery == 0) {
            // A frame of another kind (engineering data) that hosts skip.
            std::vector<std::uint8_t> other(std::begin(kReportHeader), std::end(kReportHeader));
            AppendU16(other, 8);
            AppendU32(other, static_cast<std::uint32_t>(n));
            AppendU32(other, 0x00010002);
            other.insert(other.end(), std::begin(kReportTail), std::end(kReportTail));
            bytes.insert(bytes.end(), other.begin(), other.end());
        }
        out.push_back({now, std::move(bytes)});
        nextReport_ += period;
    }
    if (now >= nextReport_)
        nextReport_ = now + period; // fell far behind: do not burst
}

SimClock::time_point CModuleModel::NextTickDue(SimClock::time_point now) const {
    std::lock_guard lock(mutex_);
    const bool streaming = streamMode_ == StreamMode::Report && !commandMode_ && !InBootloader() &&
                           config_.reportRateHz > 0;
    if (!streaming)
        return now + std::chrono::hours(1);
    if (now < deafUntil_)
        return deafUntil_;
    return streamWasOn_ ? nextReport_ : now;
}

// ---------------------------------------------------------------- state

std::uint32_t CModuleModel::Parameter(std::uint16_t id) const {
    std::lock_guard lock(mutex_);
    auto it = params_.find(id);
    return it == params_.end() ? 0 : it->second;
}

void CModuleModel::SetParameter(std::uint16_t id, std::uint32_t value) {
    std::lock_guard lock(mutex_);
    if (params_.count(id) != 0)
        params_[id] = value;
}

std::array<std::uint32_t, 34> CModuleModel::Parameters() const {
    std::lock_guard lock(mutex_);
    std::array<std::uint32_t, 34> values{};
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = params_.at(ParameterIds()[i]);
    return values;
}

std::uint32_t CModuleModel::FunctionMode() const {
    std::lock_guard lock(mutex_);
    return functionMode_;
}

bool CModuleModel::InCommandMode() const {
    std::lock_guard lock(mutex_);
    return commandMode_;
}

StreamMode CModuleModel::CurrentStreamMode() const {
    std::lock_guard lock(mutex_);
    return streamMode_;
}

bool CModuleModel::Streaming() const {
    std::lock_guard lock(mutex_);
    return streamMode_ == StreamMode::Report && !commandMode_ && !InBootloader();
}

std::uint32_t CModuleModel::RunningMode() const {
    std::lock_guard lock(mutex_);
    return runningMode_;
}

void CModuleModel::SetRunningMode(std::uint32_t mode) {
    std::lock_guard lock(mutex_);
    runningMode_ = mode;
}

std::string CModuleModel::Version() const {
    std::lock_guard lock(mutex_);
    return VersionLocked();
}

std::string CModuleModel::VersionLocked() const {
    if (InBootloader())
        return bootloaderVersion_;
    const int partition = std::countr_zero(runningMode_) - 1;
    if (partition >= 0 && partition < 32)
        return partitions_[static_cast<std::size_t>(partition)].version;
    return bootloaderVersion_;
}

void CModuleModel::SetVersion(const std::string& version) {
    std::lock_guard lock(mutex_);
    const int partition = InBootloader() ? activePartition_ : std::countr_zero(runningMode_) - 1;
    if (partition >= 0 && partition < 32)
        partitions_[static_cast<std::size_t>(partition)].version = version;
}

std::string CModuleModel::SerialNumber() const {
    std::lock_guard lock(mutex_);
    return serial_;
}

void CModuleModel::SetSerialNumber(const std::string& serial) {
    std::lock_guard lock(mutex_);
    serial_ = serial;
}

std::uint32_t CModuleModel::DeviceId() const {
    std::lock_guard lock(mutex_);
    return config_.deviceId;
}

void CModuleModel::SetDeviceId(std::uint32_t id) {
    std::lock_guard lock(mutex_);
    config_.deviceId = id;
}

std::uint32_t CModuleModel::PartitionMask() const {
    std::lock_guard lock(mutex_);
    return config_.partitionMask;
}

void CModuleModel::SetPartitionMask(std::uint32_t mask) {
    std::lock_guard lock(mutex_);
    config_.partitionMask = mask;
}

void CModuleModel::SetPacketSize(std::uint16_t size) {
    std::lock_guard lock(mutex_);
    config_.packetSize = size;
}

PartitionFirmware CModuleModel::Partition(int index) const {
    std::lock_guard lock(mutex_);
    if (index < 0 || index >= 32)
        return {};
    return partitions_[static_cast<std::size_t>(index)];
}

int CModuleModel::ActivePartition() const {
    std::lock_guard lock(mutex_);
    return activePartition_;
}

void CModuleModel::SetReportRate(int reportsPerSecond) {
    std::lock_guard lock(mutex_);
    config_.reportRateHz = std::clamp(reportsPerSecond, 0, 1000);
    streamWasOn_ = false;
}

void CModuleModel::ForceReport(std::optional<ReportContent> content) {
    std::lock_guard lock(mutex_);
    forced_ = content;
}

void CModuleModel::SetStreamFaults(const StreamFaults& faults) {
    std::lock_guard lock(mutex_);
    streamFaults_ = faults;
}

std::uint64_t CModuleModel::ReportsSent() const {
    std::lock_guard lock(mutex_);
    return reportsSent_;
}

void CModuleModel::SetGenerationDuration(std::uint32_t ms) {
    std::lock_guard lock(mutex_);
    config_.generationMs = ms;
}

std::pair<std::uint16_t, std::uint16_t> CModuleModel::GenerationCoefficients() const {
    std::lock_guard lock(mutex_);
    return {trigCoef10_, holdCoef10_};
}

bool CModuleModel::Generating() const {
    std::lock_guard lock(mutex_);
    return generating_;
}

void CModuleModel::InjectFault(std::uint16_t command, const CommandFault& fault) {
    std::lock_guard lock(mutex_);
    faults_[command] = fault;
}

void CModuleModel::ClearFaults() {
    std::lock_guard lock(mutex_);
    faults_.clear();
}

std::vector<ReceivedCommand> CModuleModel::ReceivedCommands() const {
    std::lock_guard lock(mutex_);
    return received_;
}

int CModuleModel::CountReceived(std::uint16_t command) const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(
        std::count_if(received_.begin(), received_.end(),
                      [&](const ReceivedCommand& c) { return c.word == command; }));
}

void CModuleModel::ClearReceivedCommands() {
    std::lock_guard lock(mutex_);
    received_.clear();
}

bool CModuleModel::SaveState() const {
    std::lock_guard lock(mutex_);
    SaveStateLocked();
    return true;
}

// State file: "key=value" lines. Unknown keys and malformed lines are skipped,
// so an old or damaged file never stops the module from starting.
void CModuleModel::SaveStateLocked() const {
    if (config_.stateFile.empty())
        return;
    std::ostringstream out;
    out << "# vestrel-sim module state\n";
    for (const auto& [id, value] : params_)
        out << "param." << id << "=" << value << "\n";
    out << "function_mode=" << functionMode_ << "\n";
    out << "serial=" << serial_ << "\n";
    out << "running_mode=" << runningMode_ << "\n";
    out << "active_partition=" << activePartition_ << "\n";
    for (std::size_t i = 0; i < partitions_.size(); ++i)
        if (!partitions_[i].version.empty())
            out << "partition." << i << ".version=" << partitions_[i].version << "\n";
    const std::string text = out.str();
    (void)WriteFileAtomically(config_.stateFile, text.data(), text.size());
}

void CModuleModel::LoadState() {
    if (config_.stateFile.empty())
        return;
    std::ifstream in(config_.stateFile);
    std::string line;
    while (std::getline(in, line)) {
        const auto eq = line.find('=');
        if (line.empty() || line[0] == '#' || eq == std::string::npos)
            continue;
        const std::string key = line.substr(0, eq);
        const std::string value = line.substr(eq + 1);
        char* end = nullptr;
        const unsigned long number = std::strtoul(value.c_str(), &end, 10);
        const bool numeric = !value.empty() && end != nullptr && *end == '\0';
        if (key.rfind("param.", 0) == 0 && numeric) {
            const unsigned long id = std::strtoul(key.c_str() + 6, nullptr, 10);
            if (id <= 0xFFFF && params_.count(static_cast<std::uint16_t>(id)) != 0 &&
                number <= 0xFFFFFFFFul)
                params_[static_cast<std::uint16_t>(id)] = static_cast<std::uint32_t>(number);
        } else if (key == "function_mode" && numeric) {
            functionMode_ = static_cast<std::uint32_t>(number);
        } else if (key == "serial" && !value.empty()) {
            serial_ = value;
        } else if (key == "running_mode" && numeric && number != 0) {
            runningMode_ = static_cast<std::uint32_t>(number);
        } else if (key == "active_partition" && numeric && number < 32) {
            activePartition_ = static_cast<int>(number);
        } else if (key.rfind("partition.", 0) == 0 && key.size() > 18 &&
                   key.compare(key.size() - 8, 8, ".version") == 0) {
            const unsigned long index = std::strtoul(key.c_str() + 10, nullptr, 10);
            if (index < 32)
                partitions_[index].version = value;
        }
    }
}

} // namespace vestrel::sim
