// The program icon (32 × 32, 16 colours) and the two help files.
#include "art.h"
#include "pictures.h"

#include <QDir>
#include <QFile>
#include <QRadialGradient>

#include <cstdint>
#include <vector>

namespace assets {

namespace {

// The sixteen colours of the classic VGA palette, the icon's colour table.
constexpr QRgb ICON_COLOURS[16] = {
    0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080, 0xFF008080, 0xFFC0C0C0,
    0xFF808080, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF,
};

int nearestIconColour(QRgb c) {
    int best = 0, bestDistance = 1 << 30;
    for (int i = 0; i < 16; ++i) {
        int dr = qRed(c) - qRed(ICON_COLOURS[i]), dg = qGreen(c) - qGreen(ICON_COLOURS[i]),
            db = qBlue(c) - qBlue(ICON_COLOURS[i]);
        int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

// The icon as colour indices, -1 where transparent. The drawing is laid out
// on a 32-pixel grid and scaled, so each size is drawn afresh in the same
// sixteen colours rather than blown up from the small one.
std::vector<int> iconIndices(int size) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.scale(size / 32.0, size / 32.0);
    // A red machine ring with gold bulbs ...
    p.setBrush(QColor(0x80, 0, 0));
    p.drawEllipse(QRectF(0.5, 0.5, 31, 31));
    p.setBrush(QColor(0xFF, 0, 0));
    p.drawEllipse(QRectF(2, 2, 28, 28));
    p.setBrush(QColor(0, 0xFF, 0xFF));
    p.drawEllipse(QRectF(5, 5, 22, 22));
    for (int k = 0; k < 8; ++k) {
        QPointF c(16 + 13.5 * std::cos(k * 3.14159265 / 4), 16 + 13.5 * std::sin(k * 3.14159265 / 4));
        p.setBrush(QColor(0xFF, 0xFF, 0));
        p.drawEllipse(c, 1.6, 1.6);
    }
    // ... and a big silver ball in the middle.
    p.setBrush(QColor(0x30, 0x30, 0x30));
    p.drawEllipse(QPointF(16, 17), 9.5, 9.5);
    QRadialGradient g(QPointF(13, 13), 13);
    g.setColorAt(0.0, QColor(0xFF, 0xFF, 0xFF));
    g.setColorAt(0.3, QColor(0xC0, 0xC0, 0xC0));
    g.setColorAt(0.9, QColor(0x80, 0x80, 0x80));
    p.setBrush(g);
    p.drawEllipse(QPointF(16, 17), 8.5, 8.5);
    p.setBrush(QColor(0xFF, 0xFF, 0xFF));
    p.drawEllipse(QPointF(13, 14), 2, 1.6);
    p.end();
    QImage argb = img.convertToFormat(QImage::Format_ARGB32);
    std::vector<int> out(static_cast<size_t>(size * size), -1);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            QRgb c = argb.pixel(x, y);
            if (qAlpha(c) >= 128) out[static_cast<size_t>(y * size + x)] = nearestIconColour(c);
        }
    return out;
}

void put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& b, uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

// A Windows icon file with one 32 × 32, 4-bit image and its AND mask.
std::vector<uint8_t> icoBytes(const std::vector<int>& indices) {
    const uint32_t xorSize = 32 * 16, andSize = 32 * 4;
    const uint32_t imageSize = 40 + 16 * 4 + xorSize + andSize;
    std::vector<uint8_t> b;
    put16(b, 0);  // ICONDIR
    put16(b, 1);
    put16(b, 1);
    b.push_back(32);  // ICONDIRENTRY
    b.push_back(32);
    b.push_back(16);
    b.push_back(0);
    put16(b, 1);
    put16(b, 4);
    put32(b, imageSize);
    put32(b, 6 + 16);
    put32(b, 40);  // BITMAPINFOHEADER, height counts both masks
    put32(b, 32);
    put32(b, 64);
    put16(b, 1);
    put16(b, 4);
    put32(b, 0);
    put32(b, xorSize + andSize);
    put32(b, 0);
    put32(b, 0);
    put32(b, 16);
    put32(b, 0);
    for (QRgb c : ICON_COLOURS) {
        b.push_back(static_cast<uint8_t>(qBlue(c)));
        b.push_back(static_cast<uint8_t>(qGreen(c)));
        b.push_back(static_cast<uint8_t>(qRed(c)));
        b.push_back(0);
    }
    for (int y = 31; y >= 0; --y)  // bottom-up rows
        for (int x = 0; x < 32; x += 2) {
            int a = indices[static_cast<size_t>(y * 32 + x)], c = indices[static_cast<size_t>(y * 32 + x + 1)];
            b.push_back(static_cast<uint8_t>(((a < 0 ? 0 : a) << 4) | (c < 0 ? 0 : c)));
        }
    for (int y = 31; y >= 0; --y)
        for (int x = 0; x < 32; x += 8) {
            uint8_t bits = 0;
            for (int k = 0; k < 8; ++k)
                if (indices[static_cast<size_t>(y * 32 + x + k)] < 0) bits |= static_cast<uint8_t>(0x80 >> k);
            b.push_back(bits);
        }
    return b;
}

bool writeBytes(const QString& path, const QByteArray& bytes, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        if (error) *error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    return true;
}

const char* const PACHI_HLP = R"HTML(<!DOCTYPE html>
<html lang="ja">
<head><meta charset="utf-8"><title>パチンコ 遊び方</title></head>
<body>
<h1>パチンコ 遊び方</h1>
<p>所持金 10,000円 から始めて、パチンコで生計を立てるゲームです。
町を歩いてパチンコ店で玉を増やし、換金所でお金に換え、銀行に預けたり借りたりしながら、
<b>持ち金と預金の合計 3億円</b> を目指します。</p>

<h2>目次</h2>
<ul>
<li><a href="#town">町</a></li>
<li><a href="#home">家</a></li>
<li><a href="#bank">銀行</a></li>
<li><a href="#exchange">換金所</a></li>
<li><a href="#parlour">パチンコ店</a></li>
<li><a href="#machine">台の操作（玉貸し・発射ダイヤル・発射停止）</a></li>
<li><a href="#board">盤面の仕組み</a></li>
<li><a href="#day">一日の終わりと閉店</a></li>
<li><a href="#goal">大富豪と破産</a></li>
<li><a href="#menu">メニュー</a></li>
<li><a href="#tuning">調整モード</a></li>
</ul>

<h2><a name="town"></a>町</h2>
<p>矢印キー（←↑→↓）で主人公を歩かせます。斜めにも歩けます。町の中をクリックすると、その場所へすぐに移動します。</p>
<p>画面の左上に、持ち金・持ち玉・日数が表示されます。</p>
<ul>
<li>上に並ぶ3軒が <b>パチンコ店</b> です。入口の前に立つと自動ドアが開いて店内に入ります。1軒に入っている間は、ほかの店には入れません。</li>
<li>下の左が <b>家（HOME）</b>、右が <b>銀行</b> です。入口の前に立つと中に入ります。</li>
<li>左端の小屋が <b>換金所</b> です。窓口の前に立つと玉をお金に換えられます。</li>
<li>店の入口の両脇に <b>花輪</b> が立っている日はイベント日です。台の設定が普段と違います。</li>
</ul>

<h2><a name="home"></a>家</h2>
<p>ゲームは家の中から始まります。</p>
<ul>
<li><b>テレビの前</b>（家計簿）に立つと、これまでの収支の画面が開きます。</li>
<li><b>ベッドの前</b>に立つと「終了しますか。？」と聞かれます。「はい」でゲームを終了（自動で保存）、「いいえ」で眠って翌日になります。</li>
<li>下の出口に立つと外に出ます。入ってすぐ出口に立っている場合は、一度離れてからもう一度出口に立ってください。</li>
</ul>

<h2><a name="bank"></a>銀行</h2>
<p>4つの窓口があり、窓口の前のマットに立つと窓口の画面が開きます。金額を入力して「決定」を押します。</p>
<table border="1" cellpadding="4">
<tr><th>窓口</th><th>内容</th></tr>
<tr><td>預金</td><td>持ち金を預けます。利息はつきません。</td></tr>
<tr><td>引き出し</td><td>預金を引き出します。</td></tr>
<tr><td>融資</td><td>お金を借ります。返す額は借りた額の約3%増し。借金は3口まで。預金と貸出枠の合計が、借金の総額と新しい借入額より少ないと断られます。貸出枠は最初 50,000円 です。</td></tr>
<tr><td>返済</td><td>借金を1口まるごと返します（入力した金額は使いません）。いちばん古い借金を返すと、貸出枠が 30,000円 広がります。</td></tr>
</table>

<h2><a name="exchange"></a>換金所</h2>
<p>窓口の前に立って「はい」と答えると、持ち玉を数えてから <b>1玉 4円</b> でお金に換えます。
もう一度換金するときは、いったん窓口から離れてください。</p>

<h2><a name="parlour"></a>パチンコ店</h2>
<p>店内には台が7台あります。台の前の椅子に立つと、その台に座って遊べます。
台ごと・日ごとに設定（釘の開き具合とスロットの当たりやすさ）が違います。
店から出るときは下の「出口」に立ちます。</p>

<h2><a name="machine"></a>台の操作</h2>
<ul>
<li><b>玉貸し</b>：左上の「玉貸」ボタンにマウスを合わせると光ります。クリックすると <b>100円で20玉</b> を買えます（持ち金が100円を超えているときだけ）。玉は左下の玉受けに出てきます。</li>
<li><b>発射ダイヤル</b>：右側のレバーをマウスでつかんで上下にドラッグします。上ほど強く打ち出します。弱すぎる玉は戻ってきて持ち玉に戻ります。</li>
<li><b>発射停止</b>：右下のボタンを押すと発射を止めます。もう一度押すと再開します。</li>
<li><b>席を立つ</b>：右上のボタン、または Esc キー・F12 キーで台を離れます。飛んでいる玉は戻りません。</li>
</ul>
<p>右側に持ち金と持ち玉が表示されます。</p>

<h2><a name="board"></a>盤面の仕組み</h2>
<ul>
<li><b>天</b>（中央上のポケット）：6玉の払い出し。左のチューリップが開いたり閉じたりします。</li>
<li><b>チューリップ</b>：入ると6玉の払い出しとスロット1回。開いているチューリップは玉が入りやすく、入ると閉じます。</li>
<li><b>START</b>（中央下のポケット）：6玉の払い出しとスロット1回。</li>
<li><b>GATE</b>（右のゲート）：玉が通ると左右のチューリップが両方開きます。</li>
<li><b>風車</b>：玉が当たると回ります。</li>
<li><b>スロット</b>：中央の3つのリール。スロットの権利は4回まで保留され、ランプで表示されます。
窓の左右の矢印が指す段（各リールの上の数字）で判定します。</li>
</ul>
<table border="1" cellpadding="4">
<tr><th>スロットの目</th><th>アタッカー（下の ATTACK）が開く時間</th></tr>
<tr><td>7 が1つ</td><td>約1秒</td></tr>
<tr><td>7 が2つ</td><td>約3秒</td></tr>
<tr><td>3つとも同じ数字</td><td>約5分</td></tr>
<tr><td>7・7・7</td><td>約10分</td></tr>
</table>
<p>アタッカーが開いている間、そこに届いた玉は1個につき <b>10玉</b> の払い出しになります。</p>

<h2><a name="day"></a>一日の終わりと閉店</h2>
<p>家のベッドで眠ると翌日になります。遊び始めてから2時間たつと閉店になり、家に戻されて「本日終了しました。終了しますか」と聞かれます。
「いいえ」で翌日、「はい」でゲームを終了します。</p>
<p>保存したゲームを続けると、翌日から始まります。110日目までは日ごとに決まった台の設定、それ以降は毎日でたらめな設定になります。</p>

<h2><a name="goal"></a>大富豪と破産</h2>
<ul>
<li>持ち金と預金の合計が <b>3億円を超える</b> と大富豪です。町に「大富豪」の絵が出ます。</li>
<li>借金が3口あり、持ち金・預金・持ち玉がすべて 0 になると破産です。町に「破産」の絵が出ます。</li>
</ul>
<p>どちらになってもゲームは続けられます。新しく始めるときはメニューの「新規開始」を選んでください。</p>

<h2><a name="menu"></a>メニュー</h2>
<table border="1" cellpadding="4">
<tr><td>ｹﾞｰﾑ → 新規開始</td><td>最初からやり直します。</td></tr>
<tr><td>ｹﾞｰﾑ → 書き込み</td><td>今の状態を保存します。</td></tr>
<tr><td>ｹﾞｰﾑ → 読み出し</td><td>保存した状態を読み出します。</td></tr>
<tr><td>ｹﾞｰﾑ → 終了</td><td>保存して終了します。</td></tr>
<tr><td colspan="2">新規開始・書き込み・読み出しは、最初の日（0日め）か、ゲームが終わった後（大富豪・破産・111日め以降）に、建物の外にいるときだけ選べます。
ゲームの途中は、終了するたびに自動で保存されます。</td></tr>
<tr><td>設定 → サウンド</td><td>音楽と効果音のオン・オフ。</td></tr>
<tr><td>ﾍﾙﾌﾟ</td><td>はじめに・このヘルプ・トラブルの対処・このソフトについて。</td></tr>
</table>

<h2><a name="tuning"></a>調整モード</h2>
<p>コマンドラインの最初に <b>T</b> をつけて起動すると（例：<code>pachinko T</code>）、ゲームの代わりに玉の通り道（コース）を編集する調整モードになります。
コースは100本、1本に40の点があり、ファイル「tama.dat」に保存されています。終了すると編集したコースが保存されます。</p>
<table border="1" cellpadding="4">
<tr><th>操作</th><th>内容</th></tr>
<tr><td>← →</td><td>コース番号（Patan）を選ぶ</td></tr>
<tr><td>↑ ↓</td><td>点の番号（Idou）を選ぶ</td></tr>
<tr><td>左クリック</td><td>その位置を今の点にする</td></tr>
<tr><td>右クリック</td><td>次の点へ</td></tr>
<tr><td>F1〜F4</td><td>風車1〜4</td></tr>
<tr><td>F5・F6</td><td>左・右チューリップ付近</td></tr>
<tr><td>F7</td><td>アタッカー付近</td></tr>
<tr><td>1</td><td>出戻り（玉が戻る）</td></tr>
<tr><td>2</td><td>天に入る</td></tr>
<tr><td>3</td><td>左チューリップに入る</td></tr>
<tr><td>4</td><td>右ゲート</td></tr>
<tr><td>5</td><td>右チューリップに入る</td></tr>
<tr><td>6</td><td>STARTに入る</td></tr>
<tr><td>9</td><td>アウト</td></tr>
<tr><td>0・BackSpace</td><td>点を消す</td></tr>
<tr><td>Insert</td><td>今のコースをコピー</td></tr>
<tr><td>Delete</td><td>コピーしたコースを今のコースに貼り付け</td></tr>
</table>
</body>
</html>
)HTML";

const char* const ERROR_HLP = R"HTML(<!DOCTYPE html>
<html lang="ja">
<head><meta charset="utf-8"><title>パチンコ トラブルの対処</title></head>
<body>
<h1>トラブルの対処</h1>

<h2>起動するとすぐに終わる</h2>
<ul>
<li>「設定ファイル読み出しに失敗」と出て終わるときは、玉のコースのファイル <b>tama.dat</b> が見つかりません。
ゲームはファイルを <b>今いるフォルダ</b> から読みます。ゲームのフォルダ（pachinko と同じ場所）に移動してから起動してください。</li>
<li>tama.dat をなくしたときは、ビルドし直すと作り直されます（<code>pachinko-courses --out フォルダ</code> でも作れます）。</li>
<li>何も表示されずに終わるときは、画面の準備に失敗しています。下の「画面の表示」を見てください。</li>
</ul>

<h2>絵が出ない・一部が黒い</h2>
<p>絵のファイル（back1.bmp など 37個の .bmp）が今いるフォルダにないと、その絵は表示されません（メッセージは出ません）。
ゲームのフォルダから起動しているか確かめてください。ファイルは <code>pachinko-assets --out フォルダ</code> で作り直せます。
ファイル名の大文字・小文字（My1.bmp、My2.bmp）もそのままにしてください。</p>

<h2>音が出ない</h2>
<ul>
<li>「DirectSoundオブジェクトの作成に失敗」は、サウンドデバイスが使えないときに出ます。ゲームは音なしで続きます。
ほかのソフトが音を独占していないか、出力デバイスがつながっているか確かめてください。</li>
<li>「Waveファイルのオープンに失敗」「セカンダリ・バッファの作成に失敗」は、音のファイル（base1.wav、base2.wav、open.wav、tamade.wav）が読めないときに出ます。ゲームのフォルダから起動してください。</li>
<li>メニューの 設定 → サウンド で音がオフになっていないか確かめてください。</li>
</ul>

<h2>文字が化ける・四角になる</h2>
<p>日本語の文字には IPAゴシック（IPAGothic）フォントを使います。インストールされていないと文字が表示されません。
Debian / Ubuntu では <code>fonts-ipafont-gothic</code> パッケージを入れてください。</p>

<h2>セーブファイル</h2>
<ul>
<li>進み具合は今いるフォルダの <b>pachiko.dat</b>（64バイト）に、終了するたびに保存されます。ビルドし直してもこのファイルは消えません。</li>
<li>「記憶ファイル読出失敗 新規作成」は、pachiko.dat がないときに出ます。新しいゲームが始まります。初めて遊ぶときはこれで正常です。</li>
<li>最初からやり直したいときは、ゲームを終了してから pachiko.dat を消してください（メニューの「新規開始」は、0日めかゲームが終わった後だけ選べます）。</li>
<li>保存できないとき（フォルダに書き込めないとき）は、メッセージなしで保存されません。書き込めるフォルダで遊んでください。</li>
<li>続けて遊ぶと、保存した日の翌日から始まります。</li>
</ul>

<h2>画面の表示</h2>
<ul>
<li>ウィンドウは 640×460 で、そのうち 640×416 がゲーム画面です。画面の解像度がこれより小さいと、全体が表示されません。</li>
<li>画面が乱れたときは、ゲームが絵を読み直します。直らないときは一度終了して起動し直してください。</li>
<li>色がおかしいときは、絵のファイルを作り直してください（上の「絵が出ない」を参照）。</li>
</ul>
</body>
</html>
)HTML";

}  // namespace

QImage drawIcon(int size) {
    std::vector<int> indices = iconIndices(size);
    QImage img(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            int i = indices[static_cast<size_t>(y * size + x)];
            img.setPixel(x, y, i < 0 ? 0u : ICON_COLOURS[i]);
        }
    return img;
}

bool writeIcon(const QString& outDir, QString* error) {
    QDir dir(outDir);
    std::vector<uint8_t> ico = icoBytes(iconIndices(32));
    if (!writeBytes(dir.filePath(QStringLiteral("pachinko.ico")),
                    QByteArray(reinterpret_cast<const char*>(ico.data()), static_cast<qsizetype>(ico.size())), error))
        return false;
    const QString png = dir.filePath(QStringLiteral("pachinko.png"));
    if (!drawIcon().save(png, "PNG")) {
        if (error) *error = QStringLiteral("cannot write %1").arg(png);
        return false;
    }
    return true;
}

bool writeDesktopIcons(const QString& outDir, QString* error) {
    QDir dir(outDir);
    for (int size : DESKTOP_ICON_SIZES) {
        const QString png = dir.filePath(QStringLiteral("pachinko-%1.png").arg(size));
        if (!drawIcon(size).save(png, "PNG")) {
            if (error) *error = QStringLiteral("cannot write %1").arg(png);
            return false;
        }
    }
    return true;
}

bool writeHelp(const QString& outDir, QString* error) {
    QDir dir(outDir);
    return writeBytes(dir.filePath(QStringLiteral("pachi.hlp")), QByteArray(PACHI_HLP), error) &&
           writeBytes(dir.filePath(QStringLiteral("error.hlp")), QByteArray(ERROR_HLP), error);
}

}  // namespace assets
