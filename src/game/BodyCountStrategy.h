// The computer's plan for Body Count: roam. Every group that is not busy
// fighting wanders to a random point within 200 of the centre, and the
// army's high aggression marches it on its neighbours as time runs out.
#pragma once

#include "game/AiStrategy.h"

class BodyCountStrategy : public AiStrategy {
public:
    explicit BodyCountStrategy(ComputerArmy& army);

protected:
    void Plan() override;
};
