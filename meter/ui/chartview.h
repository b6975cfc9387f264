#pragma once
// The live chart under the value boxes: paints the model's traces on one scale per unit.
#include "common/channelconfig.h"
#include "meter/chart.h"

#include <QWidget>

namespace meter {

class ChartView : public QWidget {
 public:
  // Reads the model, the ticks and the configuration at every paint; they belong to
  // the window.
  ChartView(const ChartModel& model, const ChannelTicks& ticked, const common::ChannelConfiguration& config,
            QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* e) override;

 private:
  const ChartModel& model_;
  const ChannelTicks& ticked_;
  const common::ChannelConfiguration& config_;
};

}  // namespace meter
