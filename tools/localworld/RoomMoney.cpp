// The room server's money: gifts (lucky ones included), fireworks, seals, the
// loudspeaker, the treasure box, and exchanges and transfers. Every account has a
// coin and a bean balance; a paid request changes them here and sends the new
// balances to the users whose balances changed.
#include <algorithm>
#include <cstdint>
#include <ctime>

#include "Answers.h"
#include "WorldRequest.h"

namespace testsupport {

namespace {

constexpr int kLuckyGift = 2;  // each one sent draws a multiplier of its price
constexpr int kBigFireworks = 209;
constexpr int kSmallFireworks = 216;
constexpr int32_t kMaxCount = 9999;
constexpr int32_t kFireworksDelaySeconds = 3;
// What the loudspeaker dialog tells the sender a line costs.
constexpr int64_t kLoudspeakerPrice = 10000;
constexpr int64_t kBoxPrice = 200;
constexpr int kBoxes = 9;
constexpr int kPrizes = 18;
constexpr int64_t kPrizeCoins[kPrizes] = {0, 10, 20, 50, 100, 200, 300, 500, 1000,
                                          0, 10, 20, 50, 100, 200, 300, 500, 2000};
constexpr uint8_t kTransferCoins = 3;
constexpr uint8_t kExchangeBeans = 4;
constexpr uint8_t kShowInChat = 2;
// The gift request's words, and the width of the answer's third name that carries them.
constexpr size_t kGiftWordsAt = 67;
constexpr size_t kGiftWordsWidth = 40;
constexpr size_t kNameWidth = 17;

}  // namespace

int64_t LocalWorld::PriceOf(int giftId) const {
    auto it = m_giftPrices.find(giftId);
    return it == m_giftPrices.end() ? 0 : it->second;
}

bool LocalWorld::Pay(int userId, int64_t coins, int64_t beans) {
    auto s = m_sessions.find(userId);
    auto a = m_accounts.find(userId);
    int64_t money = s != m_sessions.end()   ? s->second.money
                    : a != m_accounts.end() ? a->second.money
                                            : 0;
    int64_t points = s != m_sessions.end()   ? s->second.points
                     : a != m_accounts.end() ? a->second.points
                                             : 0;
    if (s == m_sessions.end() && a == m_accounts.end()) return false;
    if (money + coins < 0 || points + beans < 0) return false;
    money += coins;
    points += beans;
    if (s != m_sessions.end()) {
        s->second.money = money;
        s->second.points = points;
    }
    if (a != m_accounts.end()) {
        a->second.money = money;
        a->second.points = points;
    }
    return true;
}

void LocalWorld::SendWealth(int roomId, int userId) {
    const int c = ConnectionOf(userId);
    auto s = m_sessions.find(userId);
    if (!c || s == m_sessions.end()) return;
    Send(c, answers::WealthAnswer(roomId, userId, s->second.money, s->second.points));
}

std::string LocalWorld::OnTradeGift(const Request& r) {
    const int32_t roomId = r.I32(0);
    const int32_t giverId = r.I32(4);
    const int32_t receiverId = r.I32(8);
    const int32_t giftId = r.I32(12);
    const int32_t count = r.I32(16);
    Room* room = ActorRoom(r, giverId, roomId);
    if (!room) return "refused: the giver is not in room " + std::to_string(roomId);
    const int64_t price = PriceOf(giftId);
    // A resident is listed like a member, so he is given to like one; he has no
    // account, so his beans go nowhere.
    const Resident* resident = nullptr;
    for (const Resident& candidate : room->residents)
        if (candidate.id == receiverId) resident = &candidate;
    if (!price || count < 1 || count > kMaxCount ||
        (!room->members.count(receiverId) && !resident) || receiverId == giverId) {
        return Refuse(r, answers::GiftFailedAnswer(kBadRequest),
                      "gift " + std::to_string(giftId) + " refused: bad gift, count or receiver");
    }
    const int64_t total = price * count;
    if (!Pay(giverId, -total, 0))
        return Refuse(r, answers::GiftFailedAnswer(kNotEnoughMoney),
                      "gift of user " + std::to_string(giverId) + " refused: not enough money");
    Pay(receiverId, 0, total);
    answers::Gift g;
    g.roomId = roomId;
    g.giverId = giverId;
    g.receiverId = receiverId;
    g.giftId = giftId;
    g.count = count;
    g.display = kShowInChat;
    g.anonymous = r.U8(22);
    // The gift strip shows the time of the gift and a word gift's words.
    g.value24 = static_cast<int32_t>(std::time(nullptr));
    g.third = FitField(r.Text(kGiftWordsAt, kGiftWordsWidth), kNameWidth);
    // The room shows the receiver's running count of this gift from what he had before.
    int32_t& received = m_giftsReceived[{receiverId, giftId}];
    g.baseCount = received;
    received = static_cast<int32_t>(std::min<int64_t>(int64_t{received} + count, INT32_MAX));
    g.giver = WireText(m_sessions.at(giverId).alias);
    g.receiver = WireText(resident ? resident->alias : m_sessions.at(receiverId).alias);
    SendToRoom(roomId, answers::GiftAnswer(g));
    std::string outcome = "gift " + std::to_string(giftId) + " x" + std::to_string(count) +
                          " from " + std::to_string(giverId) + " to " + std::to_string(receiverId) +
                          " for " + std::to_string(total) + " coins";
    if (giftId == kLuckyGift) {
        // One draw per gift: mostly nothing, now and then ten, fifty or five hundred times.
        std::vector<int16_t> wins;
        std::uniform_int_distribution<int> draw(0, 999);
        for (int32_t i = 0; i < count; ++i) {
            const int n = draw(m_draw);
            const int16_t multiplier = n < 1 ? 500 : n < 11 ? 50 : n < 111 ? 10 : 0;
            if (multiplier) wins.push_back(multiplier);
        }
        int64_t won = 0;
        for (int16_t m : wins) won += m * price;
        if (!wins.empty()) {
            Pay(giverId, won, 0);
            SendToRoom(roomId, answers::LuckyGiftAnswer(roomId, giverId,
                                                        static_cast<uint16_t>(giftId), wins));
            outcome += ", won " + std::to_string(won);
        }
    }
    SendWealth(roomId, giverId);
    SendWealth(roomId, receiverId);
    return outcome;
}

std::string LocalWorld::OnTradeFireworks(const Request& r) {
    const int32_t roomId = r.I32(0);
    const int32_t userId = r.I32(4);
    const uint16_t giftId = r.U16(8);
    const uint16_t count = r.U16(10);
    if (!ActorRoom(r, userId, roomId)) return "refused: not in room " + std::to_string(roomId);
    if ((giftId != kBigFireworks && giftId != kSmallFireworks) || count < 1)
        return Refuse(r, answers::FireworksFailedAnswer(roomId, userId, kBadRequest, giftId),
                      "fireworks refused: bad kind or count");
    if (!Pay(userId, -PriceOf(giftId) * count, 0))
        return Refuse(r, answers::FireworksFailedAnswer(roomId, userId, kNotEnoughMoney, giftId),
                      "fireworks of user " + std::to_string(userId) + " refused: not enough money");
    Send(r.connection,
         answers::FireworksBoughtAnswer(roomId, userId, kFireworksDelaySeconds, giftId, count));
    SendWealth(roomId, userId);
    return "fireworks " + std::to_string(giftId) + " x" + std::to_string(count) + " bought by " +
           std::to_string(userId);
}

std::string LocalWorld::OnPlayFireworks(const Request& r) {
    const int32_t roomId = r.I32(0);
    const int32_t userId = r.I32(4);
    const uint16_t giftId = r.U16(8);
    const uint16_t count = r.U16(10);
    const uint16_t pickers = r.U16(12);
    Room* room = ActorRoom(r, userId, roomId);
    if (!room) return "refused: not in room " + std::to_string(roomId);
    if (14 + size_t{pickers} * 4 > r.size) return "refused: the picker list runs past the frame";
    SendToRoom(roomId, answers::Words(answers::kRoomMain, 59, {roomId, userId, giftId}));
    // Half the fireworks' price is scattered among those who pick it up.
    const int64_t pool = PriceOf(giftId) * std::max<uint16_t>(count, 1) / 2;
    std::vector<int> picked;
    for (uint16_t i = 0; i < pickers; ++i) {
        const int id = r.I32(14 + size_t{i} * 4);
        if (id != userId && room->members.count(id)) picked.push_back(id);
    }
    for (int id : picked) {
        const int64_t share = pool / static_cast<int64_t>(picked.size());
        Pay(id, share, 0);
        Send(room->members.at(id), answers::FireworksPickedAnswer(
                                       roomId, id, static_cast<int32_t>(share), userId, giftId));
        SendWealth(roomId, id);
    }
    return "fireworks " + std::to_string(giftId) + " of user " + std::to_string(userId) +
           " picked by " + std::to_string(picked.size());
}

std::string LocalWorld::OnSendSeal(const Request& r) {
    const int32_t userId = r.I32(0);
    const int32_t roomId = r.I32(4);
    const int32_t targetId = r.I32(8);
    const uint16_t sealId = r.U16(12);
    Room* room = ActorRoom(r, userId, roomId);
    if (!room) return "refused: not in room " + std::to_string(roomId);
    // Price and duration are the skin's catalog's, as the seal window shows them.
    auto seal = m_seals.find(sealId);
    if (seal == m_seals.end() || !room->members.count(targetId) ||
        !Pay(userId, -seal->second.price, 0))
        return Refuse(r, answers::SealFailedAnswer(roomId, userId),
                      "seal " + std::to_string(sealId) + " of user " + std::to_string(userId) +
                          " refused: unknown seal, no target or not enough money");
    SendToRoom(roomId, answers::SealAnswer(userId, roomId, targetId, sealId, seal->second.minutes));
    SendWealth(roomId, userId);
    return "seal " + std::to_string(sealId) + " on user " + std::to_string(targetId);
}

bool LocalWorld::Loudspeaker(int userId, uint8_t kind, const std::string& text) {
    if (!Pay(userId, -kLoudspeakerPrice, 0)) return false;
    // The answer has no sender field: the line itself says who speaks. The chat text
    // is markup already; the alias is made so.
    auto s = m_sessions.find(userId);
    const std::string alias = s != m_sessions.end() ? WireText(s->second.alias) : std::string();
    const std::string line =
        Escaped(alias) + "(" + std::to_string(userId) + ")" + WireText(L"：") + text;
    // The loudspeaker kinds the program shows are 0 to 3; the chat kind 3 is the usual one.
    const std::vector<uint8_t> frame = answers::LoudspeakerAnswer(kind, line);
    for (const auto& [connection, m] : m_memberships) Send(connection, frame);
    return true;
}

std::string LocalWorld::OnMoneyOp(const Request& r) {
    const int32_t roomId = r.I32(0);
    const int32_t userId = r.I32(4);
    const int32_t targetId = r.I32(8);
    const int32_t amount = r.I32(12);
    const uint8_t op = r.U8(16);
    if (!ActorRoom(r, userId, roomId)) return "refused: not in room " + std::to_string(roomId);
    auto refuse = [&](const std::string& why) {
        return Refuse(r, answers::MoneyFailedAnswer(),
                      "money operation " + std::to_string(op) + " of user " +
                          std::to_string(userId) + " refused: " + why);
    };
    if (amount < 1) return refuse("bad amount");
    if (op == kExchangeBeans) {
        if (!Pay(userId, amount, -int64_t{amount})) return refuse("not enough beans");
        Send(r.connection, answers::MoneyTransferAnswer(roomId, userId, amount));
        SendWealth(roomId, userId);
        return "user " + std::to_string(userId) + " exchanged " + std::to_string(amount) + " beans";
    }
    if (op != kTransferCoins) return refuse("unknown operation");
    if (targetId == userId || (!m_accounts.count(targetId) && !m_sessions.count(targetId)))
        return refuse("no such receiver");
    if (!Pay(userId, -int64_t{amount}, 0)) return refuse("not enough money");
    Pay(targetId, amount, 0);
    const std::vector<uint8_t> told = answers::MoneyTransferAnswer(roomId, userId, amount);
    Send(r.connection, told);
    if (const int c = ConnectionOf(targetId)) Send(c, told);
    SendWealth(roomId, userId);
    SendWealth(roomId, targetId);
    return "user " + std::to_string(userId) + " transferred " + std::to_string(amount) +
           " coins to " + std::to_string(targetId);
}

std::string LocalWorld::OnOpenChest(const Request& r) {
    const int32_t roomId = r.I32(0);
    const int32_t userId = r.I32(4);
    const uint8_t box = r.U8(8);
    if (!ActorRoom(r, userId, roomId)) return "refused: not in room " + std::to_string(roomId);
    if (box >= kBoxes || !Pay(userId, -kBoxPrice, 0))
        return Refuse(
            r, answers::OpenChestAnswer(true, 0, static_cast<int8_t>(box), 0),
            "box of user " + std::to_string(userId) + " refused: bad box or not enough money");
    std::uniform_int_distribution<int> draw(0, kPrizes - 1);
    const int prize = draw(m_draw);
    Pay(userId, kPrizeCoins[prize], 0);
    Send(r.connection,
         answers::OpenChestAnswer(false, 0, static_cast<int8_t>(box), static_cast<int16_t>(prize)));
    SendWealth(roomId, userId);
    return "box " + std::to_string(box) + " of user " + std::to_string(userId) + " gave prize " +
           std::to_string(prize);
}

}  // namespace testsupport
