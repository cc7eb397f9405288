<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP" sourcelanguage="ja_JP">
<context>
    <name>Game_Base</name>
    <message>
        <source>スペースキーで&quot;%1&quot;</source>
        <extracomment>The hint under a dialog: the Space key takes the left button, named as %1.</extracomment>
        <translation>スペースキーで&quot;%1&quot;</translation>
    </message>
    <message>
        <source>スコア %1&#x3000;ベスト %2</source>
        <extracomment>A result screen&apos;s line: this play&apos;s score and the best.</extracomment>
        <translation>スコア %1&#x3000;ベスト %2</translation>
    </message>
    <message>
        <source>&#x3000;ベスト更新！</source>
        <extracomment>Follows the score line, in gold, when the play beat the best.</extracomment>
        <translation>&#x3000;ベスト更新！</translation>
    </message>
    <message>
        <source>もう一度</source>
        <translation>もう一度</translation>
    </message>
    <message>
        <source>メニューに戻る</source>
        <translation>メニューに戻る</translation>
    </message>
    <message>
        <source>本当にメニューに戻りますか？</source>
        <translation>本当にメニューに戻りますか？</translation>
    </message>
    <message>
        <source>はい</source>
        <translation>はい</translation>
    </message>
    <message>
        <source>いいえ</source>
        <translation>いいえ</translation>
    </message>
    <message>
        <source>残念！</source>
        <translation>残念！</translation>
    </message>
    <message>
        <source>終了！</source>
        <translation>終了！</translation>
    </message>
</context>
<context>
    <name>Game_Janken</name>
    <message>
        <source>まけ！</source>
        <translation>まけ！</translation>
    </message>
    <message>
        <source>あいこ！</source>
        <translation>あいこ！</translation>
    </message>
</context>
<context>
    <name>Game_SameGame</name>
    <message>
        <source>やり直しますか？</source>
        <translation>やり直しますか？</translation>
    </message>
</context>
<context>
    <name>Game_Setsuna</name>
    <message>
        <source>フライング！</source>
        <translation>フライング！</translation>
    </message>
</context>
<context>
    <name>Game_Shooting</name>
    <message numerus="yes">
        <source>%n匹</source>
        <comment>good hits in a row</comment>
        <translation>
            <numerusform>%n匹</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Game_Slide</name>
    <message>
        <source>おめでとう！</source>
        <translation>おめでとう！</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Tovira Parade</source>
        <translation>Tovira Parade</translation>
    </message>
</context>
<context>
    <name>Scene</name>
    <message>
        <source>./tovira.conf</source>
        <extracomment>The score file&apos;s path, the same in every language: keep it as it stands.</extracomment>
        <translation>./tovira.conf</translation>
    </message>
    <message>
        <source>Tovira Parade</source>
        <translation>Tovira Parade</translation>
    </message>
    <message>
        <source>veldranix.exe を始められませんでした。</source>
        <translation>veldranix.exe を始められませんでした。</translation>
    </message>
    <message>
        <source>あああ</source>
        <extracomment>The title of the message box telling that the score file cannot be read.</extracomment>
        <translation>あああ</translation>
    </message>
    <message>
        <source>オープンエラー</source>
        <translation>オープンエラー</translation>
    </message>
</context>
<context>
    <name>SceneNotice</name>
    <message>
        <source>メニューに戻る</source>
        <translation>メニューに戻る</translation>
    </message>
    <message>
        <source>スペースキーで&quot;%1&quot;</source>
        <extracomment>The hint under the notice: the Space key takes the button, named as %1.</extracomment>
        <translation>スペースキーで&quot;%1&quot;</translation>
    </message>
</context>
</TS>
