#pragma once
// One playing card as the card games keep it: suit 0..3 and rank 0..12 (0 lowest). The games add
// their own joker markers on top (UpDown: suit and rank -1; Speed: rank 13).
struct Game_Trump_Card {
    int suit = 0;
    int rank = 0;

    bool operator==(const Game_Trump_Card &o) const { return suit == o.suit && rank == o.rank; }
    bool operator!=(const Game_Trump_Card &o) const { return !(*this == o); }
};
