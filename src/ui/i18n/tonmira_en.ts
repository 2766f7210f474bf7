<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>Tonmira</name>
    <message>
        <source>ﾂｰﾙ ﾊﾞｰ</source>
        <translation>Toolbar</translation>
    </message>
    <message>
        <source>レディ</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>指定の文書を開く</source>
        <translation>Open this document</translation>
    </message>
    <message>
        <source>Tonmira ﾌｧｲﾙ(*.wav, *.wma)</source>
        <translation>Tonmira Files(*.wav, *.wma)</translation>
    </message>
    <message>
        <source>読み込めるすべてのﾌｧｲﾙ(WAV, WMA, FLAC, MP3, Ogg, Opus, M4A, AAC, AIFF, ﾃｷｽﾄ)</source>
        <translation>All Readable Files(WAV, WMA, FLAC, MP3, Ogg, Opus, M4A, AAC, AIFF, Text)</translation>
    </message>
    <message>
        <source>すべてのﾌｧｲﾙ</source>
        <translation>All Files</translation>
    </message>
    <message>
        <source>Wave ﾌｧｲﾙ(*.wav)</source>
        <translation>Wave Files(*.wav)</translation>
    </message>
    <message>
        <source>ﾃｷｽﾄ ﾌｧｲﾙ(*.txt)</source>
        <translation>Text Files(*.txt)</translation>
    </message>
    <message>
        <source>名前を付けて保存</source>
        <translation>Save As</translation>
    </message>
    <message>
        <source>開く</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Tonmira のﾊﾞｰｼﾞｮﾝ情報</source>
        <translation>About Tonmira</translation>
    </message>
    <message>
        <source>録音・再生・解析と自動集音</source>
        <translation>Recording, playback, analysis, collection</translation>
    </message>
    <message>
        <source>自動録音集音レベル</source>
        <translation>Collection level</translation>
    </message>
    <message>
        <source>連続とみなす時間</source>
        <translation>Continuous within</translation>
    </message>
    <message>
        <source>ﾐﾘ秒</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>ﾌﾟﾘﾄﾘｶﾞ</source>
        <translation>Pre-trigger</translation>
    </message>
    <message>
        <source>検出条件</source>
        <translation>Detection band</translation>
    </message>
    <message>
        <source>Hz 以上</source>
        <translation>Hz min</translation>
    </message>
    <message>
        <source>Hz 以下</source>
        <translation>Hz max</translation>
    </message>
    <message>
        <source>Hz 以下のデータを除外</source>
        <translation>Hz and below excluded</translation>
    </message>
    <message>
        <source>積分率</source>
        <translation>Integration ratio</translation>
    </message>
    <message>
        <source>%以上</source>
        <translation>% min</translation>
    </message>
    <message>
        <source>%以下</source>
        <translation>% max</translation>
    </message>
    <message>
        <source>標準偏差</source>
        <translation>Std. deviation</translation>
    </message>
    <message>
        <source>以上</source>
        <translation>min</translation>
    </message>
    <message>
        <source>以下</source>
        <translation>max</translation>
    </message>
    <message>
        <source>平均i以上の点数</source>
        <translation>Points above mean</translation>
    </message>
    <message>
        <source>出力フォルダ</source>
        <translation>Output folder</translation>
    </message>
    <message>
        <source>増幅後のファイルを保存</source>
        <translation>Save amplified files</translation>
    </message>
    <message>
        <source>条件外データを保存</source>
        <translation>Save rejected data</translation>
    </message>
    <message>
        <source>再生回数</source>
        <translation>Play count</translation>
    </message>
    <message>
        <source>再生レベル</source>
        <translation>Play level</translation>
    </message>
    <message>
        <source>増幅方法</source>
        <translation>Amplification</translation>
    </message>
    <message>
        <source>常に最大</source>
        <translation>Always full</translation>
    </message>
    <message>
        <source>倍率を指定</source>
        <translation>By factor</translation>
    </message>
    <message>
        <source>倍</source>
        <translation>×</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>設定読込</source>
        <translation>Load...</translation>
    </message>
    <message>
        <source>設定保存</source>
        <translation>Save...</translation>
    </message>
    <message>
        <source>左右ﾊﾞﾗﾝｽ設定</source>
        <translation>Left/Right Balance</translation>
    </message>
    <message>
        <source>ｷｬﾝｾﾙ</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>再生速度の設定</source>
        <translation>Playback Speed Settings</translation>
    </message>
    <message>
        <source>周波数検出ﾚﾍﾞﾙ設定</source>
        <translation>Frequency Detection Level</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>ﾌﾟﾛﾊﾟﾃｨ</source>
        <translation>Properties</translation>
    </message>
    <message>
        <source>ﾁｬﾝﾈﾙ数 ： </source>
        <translation>Channels : </translation>
    </message>
    <message>
        <source>量子化ﾋﾞｯﾄ数 ： </source>
        <translation>Bits per sample : </translation>
    </message>
    <message>
        <source>ｻﾝﾌﾟﾘﾝｸﾞ周波数 ： </source>
        <translation>Sampling rate : </translation>
    </message>
    <message>
        <source>全体の時間 ： </source>
        <translation>Duration : </translation>
    </message>
    <message>
        <source>ﾌｧｲﾙのﾊﾟｽ ： </source>
        <translation>File path : </translation>
    </message>
    <message>
        <source>ﾚﾝｼﾞ拡張</source>
        <translation>Expand Range</translation>
    </message>
    <message>
        <source>録音設定</source>
        <translation>Recording Settings</translation>
    </message>
    <message>
        <source>ｻﾝﾌﾟﾘﾝｸﾞ周波数</source>
        <translation>Sampling rate</translation>
    </message>
    <message>
        <source>量子化ﾋﾞｯﾄ数</source>
        <translation>Bits per sample</translation>
    </message>
    <message>
        <source>16ﾋﾞｯﾄ</source>
        <translation>16 bit</translation>
    </message>
    <message>
        <source>8ﾋﾞｯﾄ</source>
        <translation>8 bit</translation>
    </message>
    <message>
        <source>ﾁｬﾝﾈﾙ</source>
        <translation>Channels</translation>
    </message>
    <message>
        <source>ｽﾃﾚｵ</source>
        <translation>Stereo</translation>
    </message>
    <message>
        <source>ﾓﾉﾗﾙ</source>
        <translation>Mono</translation>
    </message>
    <message>
        <source>一時停止からの自動ｽﾀｰﾄ入力ﾚﾍﾞﾙ</source>
        <translation>Input level that resumes a pause</translation>
    </message>
    <message>
        <source>条件設定</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>検出条件算出</source>
        <translation>Detection Figures</translation>
    </message>
    <message>
        <source>Hz以上</source>
        <translation>Hz min</translation>
    </message>
    <message>
        <source>Hz以下</source>
        <translation>Hz max</translation>
    </message>
    <message>
        <source>平均値を超える点</source>
        <translation>Points above mean</translation>
    </message>
    <message>
        <source>算出</source>
        <translation>Compute</translation>
    </message>
    <message>
        <source>ﾓﾉﾗﾙﾃﾞｰﾀﾌｧｲﾙの保存</source>
        <translation>Save Mono Data File</translation>
    </message>
    <message>
        <source>PCMﾃﾞｰﾀﾌｧｲﾙの保存</source>
        <translation>Save PCM Data File</translation>
    </message>
    <message>
        <source>ｽﾍﾟｸﾄﾗﾑﾃﾞｰﾀﾌｧｲﾙの保存</source>
        <translation>Save Spectrum Data File</translation>
    </message>
    <message>
        <source>マニュアルが見つかりません: %1</source>
        <translation>The manual was not found: %1</translation>
    </message>
    <message>
        <source>マニュアルを開けません: %1</source>
        <translation>Cannot open the manual: %1</translation>
    </message>
    <message>
        <source>%1 以上, %2 以下の値を入力してください！</source>
        <translation>Please enter a value from %1 to %2!</translation>
    </message>
    <message>
        <source>データ数が足りません! データ数 = %1</source>
        <translation>Not enough data! Number of samples = %1</translation>
    </message>
    <message>
        <source>再生処理の初期化に失敗しました！</source>
        <translation>Playback could not be started!</translation>
    </message>
    <message>
        <source>再生デバイスが見つかりません！</source>
        <translation>No playback device was found!</translation>
    </message>
    <message>
        <source>録音デバイスが見つかりません！</source>
        <translation>No recording device was found!</translation>
    </message>
    <message>
        <source>録音処理の初期化に失敗しました！</source>
        <translation>Recording could not be started!</translation>
    </message>
    <message>
        <source>バッファの取得に失敗しました！</source>
        <translation>Could not get a buffer!</translation>
    </message>
    <message>
        <source>設定変更できません！</source>
        <translation>The settings cannot be changed now!</translation>
    </message>
    <message>
        <source>選択した設定は使用できません！</source>
        <translation>The chosen settings cannot be used!</translation>
    </message>
    <message>
        <source>ファイルの保存に失敗しました。</source>
        <translation>The file could not be saved.</translation>
    </message>
    <message>
        <source>ファイルの読み込みに失敗しました。</source>
        <translation>The file could not be read.</translation>
    </message>
    <message>
        <source>自動集音設定の保存</source>
        <translation>Save Automatic Collection Settings</translation>
    </message>
    <message>
        <source>自動集音設定の読込み</source>
        <translation>Load Automatic Collection Settings</translation>
    </message>
    <message>
        <source>Waveファイルを作成するフォルダの選択</source>
        <translation>Choose the folder for the Wave files</translation>
    </message>
    <message>
        <source>自動集音設定</source>
        <translation>Automatic Collection Settings</translation>
    </message>
    <message>
        <source>整数を入力してください。</source>
        <translation>Please enter an integer.</translation>
    </message>
    <message>
        <source>数字を入力してください。</source>
        <translation>Please enter a number.</translation>
    </message>
    <message>
        <source>%1 から %2 までの整数を入力してください。</source>
        <translation>Please enter an integer from %1 to %2.</translation>
    </message>
    <message>
        <source>PCMデータではありません!</source>
        <translation>This is not PCM data!</translation>
    </message>
    <message>
        <source>ヘッダ情報が足りません!</source>
        <translation>The header is incomplete!</translation>
    </message>
    <message>
        <source>メモリが確保（malloc）できません!</source>
        <translation>Out of memory (malloc)!</translation>
    </message>
    <message>
        <source>メモリが確保（realloc）できません!</source>
        <translation>Out of memory (realloc)!</translation>
    </message>
    <message>
        <source>ファイル形式が違います。</source>
        <translation>Wrong file format.</translation>
    </message>
    <message>
        <source>最低16点のデータが必要です!</source>
        <translation>At least 16 samples are needed!</translation>
    </message>
    <message>
        <source>Wavファイルの保存に失敗しました。</source>
        <translation>The Wav file could not be saved.</translation>
    </message>
    <message>
        <source>ファイルの書き込みに失敗しました。</source>
        <translation>The file could not be written.</translation>
    </message>
    <message>
        <source>%1 へのアクセス中に不明なエラーが発生しました。</source>
        <translation>An unknown error occurred while accessing %1.</translation>
    </message>
    <message>
        <source>%1 への変更を保存しますか?</source>
        <translation>Save changes to %1?</translation>
    </message>
    <message>
        <source>正の整数を入力してください。</source>
        <translation>Please enter a positive integer.</translation>
    </message>
    <message>
        <source>dataチャンクが見つかりません!</source>
        <translation>No data chunk found!</translation>
    </message>
    <message>
        <source>%1 は読み込み専用の形式か、変換して読み込んだ元のファイルです。WAVファイルとして別の名前で保存してください。</source>
        <translation>%1 is of a format that is only read, or is the file a take was converted from. Save it as a WAV file under another name.</translation>
    </message>
    <message>
        <source>イベントログ %1 に書き込めません。</source>
        <translation>Cannot write the event log %1.</translation>
    </message>
    <message>
        <source>対応していないWAVフォーマットです(1～2ch、8/16ビットのみ)!</source>
        <translation>Unsupported WAV format (1 or 2 channels, 8 or 16 bits only)!</translation>
    </message>
    <message>
        <source>新規にﾌｧｲﾙを作成</source>
        <translation>Create a new file</translation>
    </message>
    <message>
        <source>新規ﾌｧｲﾙ</source>
        <translation>New File</translation>
    </message>
    <message>
        <source>既存のﾌｧｲﾙを開く</source>
        <translation>Open an existing file</translation>
    </message>
    <message>
        <source>作業中のﾌｧｲﾙを上書きして保存</source>
        <translation>Save the current file</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>作業中のﾌｧｲﾙを新しい名前で保存</source>
        <translation>Save the current file under a new name</translation>
    </message>
    <message>
        <source>名前をつけて保存</source>
        <translation>Save As</translation>
    </message>
    <message>
        <source>ﾓﾉﾗﾙのﾃﾞｰﾀを保存</source>
        <translation>Save the data as mono</translation>
    </message>
    <message>
        <source>ﾓﾉﾗﾙﾃﾞｰﾀの保存</source>
        <translation>Save Mono Data</translation>
    </message>
    <message>
        <source>表示中のPCMﾃﾞｰﾀを保存</source>
        <translation>Save the PCM data shown</translation>
    </message>
    <message>
        <source>PCMﾃﾞｰﾀの保存</source>
        <translation>Save PCM Data</translation>
    </message>
    <message>
        <source>表示中のｽﾍﾟｸﾄﾗﾑﾃﾞｰﾀを保存</source>
        <translation>Save the spectrum shown</translation>
    </message>
    <message>
        <source>ｽﾍﾟｸﾄﾗﾑﾃﾞｰﾀの保存</source>
        <translation>Save Spectrum Data</translation>
    </message>
    <message>
        <source>ｽﾍﾟｸﾄﾗﾑの推移ﾃﾞｰﾀを保存</source>
        <translation>Save the spectrum's course through the take</translation>
    </message>
    <message>
        <source>ｽﾍﾟｸﾄﾗﾑ推移ﾃﾞｰﾀの保存</source>
        <translation>Save Spectrum Waterfall Data</translation>
    </message>
    <message>
        <source>ｱﾌﾟﾘｹｰｼｮﾝを終了し、ﾌｧｲﾙの保存を指示</source>
        <translation>Quit the application, asking to save the file</translation>
    </message>
    <message>
        <source>終了</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>開始位置から終了位置までのﾃﾞｰﾀに切り詰め</source>
        <translation>Trim the data to the range between the start and end marks</translation>
    </message>
    <message>
        <source>切り詰め</source>
        <translation>Trim</translation>
    </message>
    <message>
        <source>ﾃﾞｰﾀのﾚﾝｼﾞを量子化の最大まで拡張</source>
        <translation>Expand the data's range to full scale</translation>
    </message>
    <message>
        <source>PCMﾃﾞｰﾀの再生を開始</source>
        <translation>Start playing the PCM data</translation>
    </message>
    <message>
        <source>再生</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>PCMﾃﾞｰﾀの録音を開始</source>
        <translation>Start recording PCM data</translation>
    </message>
    <message>
        <source>録音</source>
        <translation>Record</translation>
    </message>
    <message>
        <source>PCMﾃﾞｰﾀの録音/再生の停止</source>
        <translation>Stop recording or playback</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>PCMﾃﾞｰﾀの録音/再生の一時停止</source>
        <translation>Pause recording or playback</translation>
    </message>
    <message>
        <source>一時停止</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>PCMﾃﾞｰﾀの録音/再生機能のロック</source>
        <translation>Lock recording and playback</translation>
    </message>
    <message>
        <source>ロック</source>
        <translation>Lock</translation>
    </message>
    <message>
        <source>現在位置を先頭に移動</source>
        <translation>Move the position to the beginning</translation>
    </message>
    <message>
        <source>先頭</source>
        <translation>Beginning</translation>
    </message>
    <message>
        <source>現在位置を最後に移動</source>
        <translation>Move the position to the end</translation>
    </message>
    <message>
        <source>最後</source>
        <translation>End</translation>
    </message>
    <message>
        <source>現在位置を開始位置としてﾏｰｸ</source>
        <translation>Mark the position as the start</translation>
    </message>
    <message>
        <source>開始ﾏｰｸ</source>
        <translation>Mark Start</translation>
    </message>
    <message>
        <source>現在位置を終了位置としてﾏｰｸ</source>
        <translation>Mark the position as the end</translation>
    </message>
    <message>
        <source>終了ﾏｰｸ</source>
        <translation>Mark End</translation>
    </message>
    <message>
        <source>ﾃﾞｰﾀを逆方向に再生</source>
        <translation>Play the data backwards</translation>
    </message>
    <message>
        <source>逆方向</source>
        <translation>Reverse</translation>
    </message>
    <message>
        <source>ｽﾃﾚｵﾃﾞｰﾀの左右ﾊﾞﾗﾝｽの調整</source>
        <translation>Adjust the left/right balance of stereo data</translation>
    </message>
    <message>
        <source>左右ﾊﾞﾗﾝｽ</source>
        <translation>Balance</translation>
    </message>
    <message>
        <source>再生速度</source>
        <translation>Playback Speed</translation>
    </message>
    <message>
        <source>録音方法の設定</source>
        <translation>Set how to record</translation>
    </message>
    <message>
        <source>自動集音機能の設定</source>
        <translation>Set up automatic sound collection</translation>
    </message>
    <message>
        <source>自動集音の検出条件で算出</source>
        <translation>Compute the figures of the collection's detection conditions</translation>
    </message>
    <message>
        <source>検出レベルの設定</source>
        <translation>Set the detection level</translation>
    </message>
    <message>
        <source>検出レベル</source>
        <translation>Detection Level</translation>
    </message>
    <message>
        <source>表示グラフのタイプの変更</source>
        <translation>Change the type of the graph shown</translation>
    </message>
    <message>
        <source>PCMﾃﾞｰﾀのﾌﾟﾛﾊﾟﾃｨの表示</source>
        <translation>Show the PCM data's properties</translation>
    </message>
    <message>
        <source>ﾂｰﾙ ﾊﾞｰの 表示/非表示</source>
        <translation>Show or hide the toolbar</translation>
    </message>
    <message>
        <source>ﾂｰﾙ ﾊﾞｰの表示切り替え</source>
        <translation>Toggle Toolbar</translation>
    </message>
    <message>
        <source>ｽﾃｰﾀｽ ﾊﾞｰの 表示/非表示</source>
        <translation>Show or hide the status bar</translation>
    </message>
    <message>
        <source>ｽﾃｰﾀｽ ﾊﾞｰの表示切り替え</source>
        <translation>Toggle Status Bar</translation>
    </message>
    <message>
        <source>ﾄﾋﾟｯｸの検索</source>
        <translation>Help Topics</translation>
    </message>
    <message>
        <source>ﾌﾟﾛｸﾞﾗﾑの情報、ﾊﾞｰｼﾞｮﾝそして著作権を表示</source>
        <translation>Show the program's information, version and copyright</translation>
    </message>
    <message>
        <source>ﾊﾞｰｼﾞｮﾝ情報</source>
        <translation>About</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙ(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>新規(&amp;N)	Ctrl+N</source>
        <translation>&amp;New	Ctrl+N</translation>
    </message>
    <message>
        <source>開く(&amp;O)...	Ctrl+O</source>
        <translation>&amp;Open...	Ctrl+O</translation>
    </message>
    <message>
        <source>上書き保存(&amp;S)	Ctrl+S</source>
        <translation>&amp;Save	Ctrl+S</translation>
    </message>
    <message>
        <source>名前を付けて保存(&amp;A)...</source>
        <translation>Save &amp;As...</translation>
    </message>
    <message>
        <source>ﾓﾉﾗﾙﾃﾞｰﾀの保存(&amp;M)...</source>
        <translation>Save &amp;Mono Data...</translation>
    </message>
    <message>
        <source>PCMﾃﾞｰﾀの保存(&amp;P)...</source>
        <translation>Save &amp;PCM Data...</translation>
    </message>
    <message>
        <source>ｽﾍﾟｸﾄﾗﾑﾃﾞｰﾀの保存(&amp;D)...</source>
        <translation>Save Spectrum &amp;Data...</translation>
    </message>
    <message>
        <source>ｽﾍﾟｸﾄﾗﾑ推移ﾃﾞｰﾀの保存(&amp;W)...</source>
        <translation>Save Spectrum &amp;Waterfall Data...</translation>
    </message>
    <message>
        <source>最近使ったﾌｧｲﾙ</source>
        <translation>Recent File</translation>
    </message>
    <message>
        <source>ｱﾌﾟﾘｹｰｼｮﾝの終了(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>編集(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>切り詰め(&amp;T)</source>
        <translation>&amp;Trim</translation>
    </message>
    <message>
        <source>ﾚﾝｼﾞ拡張(&amp;E)...</source>
        <translation>&amp;Expand Range...</translation>
    </message>
    <message>
        <source>録音/再生(&amp;G)</source>
        <translation>Recordin&amp;g/Playback</translation>
    </message>
    <message>
        <source>再生(&amp;P)	Ctrl+P</source>
        <translation>&amp;Play	Ctrl+P</translation>
    </message>
    <message>
        <source>録音(&amp;R)	Ctrl+R</source>
        <translation>&amp;Record	Ctrl+R</translation>
    </message>
    <message>
        <source>停止(&amp;S)	Space</source>
        <translation>&amp;Stop	Space</translation>
    </message>
    <message>
        <source>一時停止(&amp;T)	Ctrl+T</source>
        <translation>Pa&amp;use	Ctrl+T</translation>
    </message>
    <message>
        <source>ロック(&amp;L)</source>
        <translation>&amp;Lock</translation>
    </message>
    <message>
        <source>位置(&amp;P)</source>
        <translation>&amp;Position</translation>
    </message>
    <message>
        <source>先頭(&amp;T)</source>
        <translation>&amp;Beginning</translation>
    </message>
    <message>
        <source>最後(&amp;B)</source>
        <translation>En&amp;d</translation>
    </message>
    <message>
        <source>開始ﾏｰｸ(&amp;S)</source>
        <translation>Mark &amp;Start</translation>
    </message>
    <message>
        <source>終了ﾏｰｸ(&amp;E)</source>
        <translation>Mark &amp;End</translation>
    </message>
    <message>
        <source>ｵﾌﾟｼｮﾝ(&amp;O)</source>
        <translation>&amp;Options</translation>
    </message>
    <message>
        <source>逆方向(&amp;R)</source>
        <translation>&amp;Reverse</translation>
    </message>
    <message>
        <source>左右ﾊﾞﾗﾝｽ(&amp;B)...</source>
        <translation>&amp;Balance...</translation>
    </message>
    <message>
        <source>再生速度(&amp;S)...</source>
        <translation>Playback &amp;Speed...</translation>
    </message>
    <message>
        <source>録音設定(&amp;M)...</source>
        <translation>Re&amp;cording Settings...</translation>
    </message>
    <message>
        <source>自動集音設定(&amp;A)...</source>
        <translation>&amp;Automatic Collection Settings...</translation>
    </message>
    <message>
        <source>検出条件算出(&amp;T)...</source>
        <translation>Detection &amp;Figures...</translation>
    </message>
    <message>
        <source>検出ﾚﾍﾞﾙ(&amp;L)...</source>
        <translation>Detection &amp;Level...</translation>
    </message>
    <message>
        <source>表示(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>対数グラフ(&amp;G)</source>
        <translation>Log &amp;Graph</translation>
    </message>
    <message>
        <source>ﾌﾟﾛﾊﾟﾃｨ(&amp;P)...</source>
        <translation>&amp;Properties...</translation>
    </message>
    <message>
        <source>ﾂｰﾙ ﾊﾞｰ(&amp;T)</source>
        <translation>&amp;Toolbar</translation>
    </message>
    <message>
        <source>ｽﾃｰﾀｽ ﾊﾞｰ(&amp;S)</source>
        <translation>&amp;Status Bar</translation>
    </message>
    <message>
        <source>ﾍﾙﾌﾟ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>ﾄﾋﾟｯｸの検索(&amp;H)...</source>
        <translation>&amp;Help Topics...</translation>
    </message>
    <message>
        <source>Tonmira のﾊﾞｰｼﾞｮﾝ情報(&amp;A)...</source>
        <translation>&amp;About Tonmira...</translation>
    </message>
    <message>
        <source>片対数ｸﾞﾗﾌ(&amp;G)</source>
        <translation>Semi-Log &amp;Graph</translation>
    </message>
    <message>
        <source>ﾘﾆｱｸﾞﾗﾌ(&amp;G)</source>
        <translation>Linear &amp;Graph</translation>
    </message>
    <message>
        <source>無題</source>
        <translation>Untitled</translation>
    </message>
    <message>
        <source>ｻﾝﾌﾟﾙﾃﾞｰﾀ数</source>
        <translation>Samples (N)</translation>
    </message>
    <message>
        <source>最小周波数</source>
        <translation>Min. freq.</translation>
    </message>
    <message>
        <source>最大周波数</source>
        <translation>Max. freq.</translation>
    </message>
    <message>
        <source>基音周波数1</source>
        <translation>Fund. 1</translation>
    </message>
    <message>
        <source>基音周波数2</source>
        <translation>Fund. 2</translation>
    </message>
    <message>
        <source>基音周波数3</source>
        <translation>Fund. 3</translation>
    </message>
    <message>
        <source>基音周波数4</source>
        <translation>Fund. 4</translation>
    </message>
    <message>
        <source>基音周波数5</source>
        <translation>Fund. 5</translation>
    </message>
    <message>
        <source>最低周波数より大きな値を入力してください！</source>
        <translation>Please enter a value above the minimum frequency!</translation>
    </message>
    <message>
        <source>最大周波数より小さな値を入力してください！</source>
        <translation>Please enter a value below the maximum frequency!</translation>
    </message>
    <message>
        <source>PCMデータの保存に失敗しました。</source>
        <translation>The PCM data could not be saved.</translation>
    </message>
    <message>
        <source>スペクトラムデータの保存に失敗しました。</source>
        <translation>The spectrum data could not be saved.</translation>
    </message>
    <message>
        <source>スペクトラム推移データの保存に失敗しました。</source>
        <translation>The spectrum waterfall data could not be saved.</translation>
    </message>
    <message>
        <source>変換して読み込みました: %1 (%2)</source>
        <translation>Converted while loading: %1 (%2)</translation>
    </message>
    <message>
        <source>設定ファイルのデバイス %1 が見つかりません。既定のデバイスを使います。</source>
        <translation>The device %1 named in the settings file is not there; the default device is used.</translation>
    </message>
    <message>
        <source>  %1 %2 セント</source>
        <translation>  %1 %2 cents</translation>
    </message>
    <message>
        <source>  ピーク %1 Hz</source>
        <translation>  peak %1 Hz</translation>
    </message>
    <message>
        <source>-∞</source>
        <translation>-∞</translation>
    </message>
    <message>
        <source>テイク全体</source>
        <translation>Whole take</translation>
    </message>
    <message>
        <source>テイク全体の概要とスペクトログラムの表示/非表示</source>
        <translation>Show or hide the overview and spectrogram of the whole take</translation>
    </message>
    <message>
        <source>位置の周辺</source>
        <translation>Around the position</translation>
    </message>
    <message>
        <source>周波数 %1 Hz  振幅 %2  %3 dBFS</source>
        <translation>Frequency %1 Hz  magnitude %2  %3 dBFS</translation>
    </message>
    <message>
        <source>時間 %1 秒  値 %2</source>
        <translation>Time %1 s  value %2</translation>
    </message>
    <message>
        <source>概要</source>
        <translation>Overview</translation>
    </message>
    <message>
        <source>概要とｽﾍﾟｸﾄﾛｸﾞﾗﾑ(&amp;O)</source>
        <translation>&amp;Overview and Spectrogram</translation>
    </message>
    <message>
        <source>概要を作成中… %1%</source>
        <translation>Building the overview… %1%</translation>
    </message>
    <message>
        <source>スペクトログラムを作成中… %1%</source>
        <translation>Building the spectrogram… %1%</translation>
    </message>
    <message>
        <source>画像として保存...</source>
        <translation>Save as Picture...</translation>
    </message>
    <message>
        <source>画像として保存</source>
        <translation>Save as Picture</translation>
    </message>
    <message>
        <source>時間 %1  周波数 %2 Hz</source>
        <translation>Time %1  frequency %2 Hz</translation>
    </message>
    <message>
        <source>  -100 dBFS 以下</source>
        <translation>  -100 dBFS or below</translation>
    </message>
    <message>
        <source>PNG 画像 (*.png)</source>
        <translation>PNG picture (*.png)</translation>
    </message>
    <message>
        <source>時間を指定して移動(&amp;G)...</source>
        <translation>&amp;Go to Time...</translation>
    </message>
    <message>
        <source>指定した時間に現在位置を移動</source>
        <translation>Move the position to a given time</translation>
    </message>
    <message>
        <source>時間を指定して移動</source>
        <translation>Go to Time</translation>
    </message>
    <message>
        <source>時間(&amp;T) (m:ss.fff、h:mm:ss.fff または秒):</source>
        <translation>&amp;Time (m:ss.fff, h:mm:ss.fff or seconds):</translation>
    </message>
    <message>
        <source>時間は m:ss.fff、h:mm:ss.fff または秒数で入力してください。</source>
        <translation>Enter the time as m:ss.fff, h:mm:ss.fff or seconds.</translation>
    </message>
    <message>
        <source>%1 から %2 までの時間を入力してください。</source>
        <translation>Enter a time from %1 to %2.</translation>
    </message>
    <message>
        <source>イベント一覧(&amp;L)</source>
        <translation>Event &amp;List</translation>
    </message>
    <message>
        <source>集音イベントの一覧の表示/非表示</source>
        <translation>Show or hide the list of collected events</translation>
    </message>
    <message>
        <source>イベント一覧</source>
        <translation>Event List</translation>
    </message>
    <message>
        <source>ライブ</source>
        <translation>live</translation>
    </message>
    <message>
        <source>採用</source>
        <translation>accepted</translation>
    </message>
    <message>
        <source>不採用 (%1)</source>
        <translation>rejected (%1)</translation>
    </message>
    <message>
        <source>P %1  積分 %2%  点 %3%  偏差 %4</source>
        <translation>P %1  integration %2%  points %3%  deviation %4</translation>
    </message>
    <message>
        <source>記録を開く...</source>
        <translation>Open Log...</translation>
    </message>
    <message>
        <source>すべて</source>
        <translation>All</translation>
    </message>
    <message>
        <source>採用のみ</source>
        <translation>Accepted only</translation>
    </message>
    <message>
        <source>不採用のみ</source>
        <translation>Rejected only</translation>
    </message>
    <message>
        <source>時刻</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>入力とオフセット</source>
        <translation>Input and offset</translation>
    </message>
    <message>
        <source>判定と理由</source>
        <translation>Verdict and reason</translation>
    </message>
    <message>
        <source>数値</source>
        <translation>Figures</translation>
    </message>
    <message>
        <source>%1 を読み込めません。</source>
        <translation>%1 cannot be read.</translation>
    </message>
    <message>
        <source>%1 はイベントの記録ではありません。</source>
        <translation>%1 is not an event log.</translation>
    </message>
    <message>
        <source>イベントの記録を開く</source>
        <translation>Open Event Log</translation>
    </message>
    <message>
        <source>イベントの記録 (*.csv)</source>
        <translation>Event logs (*.csv)</translation>
    </message>
    <message>
        <source>テイク全体を表示(&amp;W)</source>
        <translation>Fit the &amp;Whole Take</translation>
    </message>
    <message>
        <source>概要の時間軸をテイク全体に戻す</source>
        <translation>Show the whole take in the overview again</translation>
    </message>
    <message>
        <source>ピーク %1  RMS %2 dBFS</source>
        <translation>Peak %1  RMS %2 dBFS</translation>
    </message>
    <message>
        <source>クリップ</source>
        <translation>CLIP</translation>
    </message>
</context>
</TS>
