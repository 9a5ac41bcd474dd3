#include "conversion_run.h"

#include <utility>

namespace velmar {

void ConversionRun::Start(RunSnapshot snapshot, std::vector<std::wstring> standIns, std::string decimal, Post post,
                          std::function<void()> started) {
  standIns_ = std::move(standIns);
  const std::uint64_t serial = ++serial_;
  TThreadVelmar::Callbacks callbacks;
  callbacks.started = std::move(started);
  callbacks.progress = [post, serial](std::int64_t progress) { post(Report::Progress, progress, serial); };
  callbacks.done = [post, serial] { post(Report::Done, 0, serial); };
  worker_ = std::make_unique<TThreadVelmar>(std::move(snapshot), std::move(decimal), std::move(callbacks));
  worker_->Start();
}

ConversionRun::Outcome ConversionRun::Finish() {
  worker_->Join();
  Outcome outcome;
  outcome.failure = worker_->Failure();
  outcome.unicode = worker_->Unicode();
  // Characters outside Windows-1251 go back in, less those the conversion removed.
  const auto& removed = worker_->RemovedStandIns();
  std::size_t r = 0;
  for (std::size_t i = 0; i < standIns_.size(); ++i) {
    if (r < removed.size() && removed[r] == i) {
      ++r;
      continue;
    }
    outcome.standIns.push_back(std::move(standIns_[i]));
  }
  standIns_.clear();
  outcome.result = worker_->TakeResultText();
  worker_.reset();
  return outcome;
}

}  // namespace velmar
