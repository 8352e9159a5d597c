// The computer's plan for Territories: rank the flags by how near and how
// lightly held they are (both weigh less as time runs out), split the army
// into two to five squads of its units nearest each of the best flags, and
// send every squad that is not fighting to its flag. The squads' centres
// tell the controller where the army stands against other armies' squads.
#pragma once

#include "game/AiStrategy.h"

#include <vector>

class Flag;

class TerritoriesStrategy : public AiStrategy {
public:
    struct Squad {
        Vec3 centre;
        std::vector<Unit*> units;
    };

    explicit TerritoriesStrategy(ComputerArmy& army);

    const std::vector<Squad>& GetSquads() const { return squads_; }

    // The rules' flags, best target first: t x (distance from the army's
    // centre + enemy units within 20 of the flag), lowest first, equal
    // scores in the flags' order.
    std::vector<Flag*> RankFlags() const;

protected:
    void Plan() override;

private:
    std::vector<Squad> squads_;
};
