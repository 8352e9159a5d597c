// ReceivedMessageQueue.
#include "net/ReceivedMessageQueue.h"

#include "net/MessageCodec.h"

#include <unordered_map>
#include <unordered_set>

namespace {

std::size_t BytesOf(const ReceivedMessage& message)
{
    return RecordSize(TypeOf(message.record));
}

bool IsDatagram(const ReceivedMessage& message)
{
    return message.channel == kChannelUdp;
}

} // namespace

bool ReceivedMessageQueue::Push(ReceivedMessage message, std::size_t connectionBudget)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (IsDatagram(message)) {
            const bool overBudget = message.from && message.from->queuedBytes >= connectionBudget;
            if (overBudget || datagrams_ >= datagramCap_) {
                return false;
            }
            ++datagrams_;
        }
        if (message.from) {
            message.from->queuedBytes += BytesOf(message);
        }
        messages_.push_back(std::move(message));
    }
    arrived_.notify_all();
    return true;
}

void ReceivedMessageQueue::Release(const ReceivedMessage& message)
{
    if (IsDatagram(message)) {
        --datagrams_;
    }
    if (message.from) {
        message.from->queuedBytes -= BytesOf(message);
    }
}

std::vector<ReceivedMessage> ReceivedMessageQueue::Take(std::size_t bytesPerConnection)
{
    std::unordered_map<const Connection*, std::size_t> spent;
    // A connection with a record left keeps all its later ones, so its
    // records are handled in the order they came.
    std::unordered_set<const Connection*> held;
    const auto withinShare = [&](const ReceivedMessage& message) {
        const Connection* const from = message.from.get();
        if (from == nullptr) {
            return true;
        }
        if (held.count(from) != 0) {
            return false;
        }
        std::size_t& share = spent[from];
        const std::size_t bytes = BytesOf(message);
        if (share > 0 && share + bytes > bytesPerConnection) {
            held.insert(from);
            return false;
        }
        share += bytes;
        return true;
    };
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<ReceivedMessage> taken;
    std::deque<ReceivedMessage> left;
    for (ReceivedMessage& message : messages_) {
        if (!withinShare(message)) {
            left.push_back(std::move(message));
            continue;
        }
        Release(message);
        taken.push_back(std::move(message));
    }
    messages_ = std::move(left);
    return taken;
}

std::size_t ReceivedMessageQueue::Size() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_.size();
}

void ReceivedMessageQueue::Clear()
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (const ReceivedMessage& message : messages_) {
        Release(message);
    }
    messages_.clear();
}

bool ReceivedMessageQueue::WaitForAny(std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> lock(mutex_);
    return arrived_.wait_for(lock, timeout, [this] { return !messages_.empty(); });
}
