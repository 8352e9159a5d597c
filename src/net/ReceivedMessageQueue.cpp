// ReceivedMessageQueue.
#include "net/ReceivedMessageQueue.h"

#include "net/MessageCodec.h"

bool ReceivedMessageQueue::Push(ReceivedMessage message)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (messages_.size() >= cap_) {
            if (message.channel == kChannelUdp || !DropOldestDatagram()) {
                return false;
            }
        }
        messages_.push_back(std::move(message));
    }
    arrived_.notify_all();
    return true;
}

bool ReceivedMessageQueue::DropOldestDatagram()
{
    for (auto it = messages_.begin(); it != messages_.end(); ++it) {
        if (it->channel == kChannelUdp) {
            messages_.erase(it);
            return true;
        }
    }
    return false;
}

std::vector<ReceivedMessage> ReceivedMessageQueue::TakeAll()
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<ReceivedMessage> taken(std::make_move_iterator(messages_.begin()),
                                       std::make_move_iterator(messages_.end()));
    messages_.clear();
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
    messages_.clear();
}

bool ReceivedMessageQueue::WaitForAny(std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> lock(mutex_);
    return arrived_.wait_for(lock, timeout, [this] { return !messages_.empty(); });
}
