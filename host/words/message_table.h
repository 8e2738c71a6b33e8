// Every message porvane-host prints, in English and in Japanese: one row a
// message, M(name, English, Japanese). {1}, {2}, ... stand for what is put
// in (a file name, a number, another message), in whatever order the
// language needs. A row without its Japanese does not compile, and an empty
// text fails the build (messages.cpp).
//
// The words are a doll maker's: what happened and what to do, no Windows
// error numbers, and a limit put in from its constant, never typed. The
// Japanese follows the wording of the Japanese readme (セル, パレット, 色番号,
// 透明, 保存), one word for one thing (パレットグループ, 画面 for the
// playfield, 画像編集ソフト for the host, ディザ, 元のまま), in です・ます with
// full-width punctuation: "{1}: 保存できませんでした。{2}" puts the why after
// what happened as a sentence of its own; ": " only ends a line's label.

// --- The command line -------------------------------------------------------
M(USAGE_PROBLEM, L"porvane-host: {1}\nporvane-host --help lists the commands.",
  L"porvane-host: {1}\nコマンドの一覧は porvane-host --help で表示できます。")
M(NEEDS_FOLDER_AFTER_TO, L"--to needs a folder after it", L"--to のあとに保存先のフォルダーを書いてください")
M(GIVEN_TWICE, L"{1} is given twice", L"{1} が 2 回書かれています")
M(DOES_NOT_TAKE, L"{1} does not take {2}", L"{1} には {2} は使えません")
M(DOES_NOT_TAKE_DID_YOU_MEAN, L"{1} does not take {2}: did you mean {3}?",
  L"{1} には {2} は使えません。{3} のことですか？")
M(EXPORT_NEEDS_PICTURE, L"export needs at least one picture", L"export のあとに画像を 1 枚以上書いてください")
M(STOP_AT_ONE_PICTURE_ONLY, L"--stop-at-start and --stop-at-end go with export PICTURE DESTINATION only",
  L"--stop-at-start と --stop-at-end は「export 画像 保存先」と書くときだけ使えます")
M(TRANSPARENT_TAKES, L"--transparent takes corner or a colour number from 0 to {2}, not {1}",
  L"--transparent のあとには corner か 0 から {2} までの色番号を書いてください（{1} は使えません）")
M(SHARED_PALETTE_NEEDS_NAME, L"--shared-palette needs the palette's file name after it",
  L"--shared-palette のあとにパレットのファイル名を書いてください")
M(SHARED_PALETTE_AND_PALETTE, L"--palette and --shared-palette do not go together: choose one",
  L"--palette と --shared-palette はいっしょに使えません。どちらかにしてください")
M(DOLL_NEEDS_TO, L"doll needs --to FOLDER: the folder the set goes into",
  L"doll には --to フォルダー が必要です（セットを保存するフォルダーです）")
M(DOLL_NEEDS_LAYERS, L"doll needs the layers, bottom first, or a folder of them",
  L"doll のあとに、レイヤーの画像をいちばん下から順に書くか、レイヤーの画像の入ったフォルダーを書いてください")
M(CNF_NEEDS_NAME, L"--cnf needs the configuration's file name after it",
  L"--cnf のあとに設定ファイルの名前を書いてください")
M(BACKGROUND_TAKES,
  L"--background takes a colour as six hexadecimal digits, as paint programs show it (FFFFFF is white, #FFE0F0 a "
  L"pale pink), not {1}",
  L"--background のあとには、ペイントソフトに表示される 16 進数 6 桁のカラーコードで色を書いてください（白は FFFFFF、"
  L"淡いピンクは #FFE0F0 です。{1} は使えません）")
M(PLUGIN_NEEDS_FILE, L"--plugin needs the plug-in's file name", L"--plugin のあとにプラグインのファイル名を書いてください")
M(PLUGIN_BUILT_IN,
  L"--plugin cannot load another copy: this porvane-host has the plug-in built in (the native build)",
  L"--plugin は使えません。この porvane-host にはプラグインが組み込まれています（ネイティブ版）")
M(TAKES_NOTHING_AFTER, L"{1} takes nothing after it: {2}", L"{1} のあとには何も書かないでください（{2} は使えません）")
M(PALETTE_MODE_NO_PLUGIN, L"palette-mode does not load the plug-in: --plugin has no place here",
  L"palette-mode はプラグインを読み込まないので、--plugin は使えません")
M(PALETTE_MODE_TAKES, L"palette-mode takes on, off or nothing",
  L"palette-mode のあとには on か off を書くか、何も書かないでください")
M(NO_SUCH_COMMAND, L"no such command or picture: {1}", L"{1} というコマンドや画像はありません")

M(HELP,
  L"porvane-host saves pictures as KiSS cels through {1}, as the host picture program does.\n"
  L"\n"
  L"  porvane-host export PICTURE... [--to FOLDER] [--palette] [--transparent corner | N]\n"
  L"      Saves each picture as NAME.cel, in FOLDER (made if missing) or beside the picture.\n"
  L"      A folder stands for the pictures in it; * and ? match names. KiSS files and other\n"
  L"      files that are not pictures are skipped.\n"
  L"      --palette also saves NAME.kcf, the picture's colours, for every 4- or 8-bit cel.\n"
  L"      --transparent corner makes the background transparent: the colour of the picture's four\n"
  L"      corners, as far as it reaches from them;\n"
  L"      --transparent N makes colour N the transparent one (for a BMP, colour 0 is).\n"
  L"      --shared-palette NAME.kcf makes every picture an 8-bit cel on one palette of at most {2}\n"
  L"      colours for them all, as a doll's parts share one; --dither uses dithering for colours the\n"
  L"      palette does not have.\n"
  L"      e.g.  porvane-host export arm-left.png arm-right.png --to cels --palette\n"
  L"            porvane-host export parts --to doll --shared-palette doll.kcf\n"
  L"            porvane-host export parts --to cels\n"
  L"  porvane-host export PICTURE DESTINATION [--stop-at-start | --stop-at-end]\n"
  L"      Saves one picture under the name given, as the host would; --stop-at-... answers\n"
  L"      \"stop\" to one of the plug-in's progress reports, and shows them.\n"
  L"      e.g.  porvane-host export face.png face-new.cel\n"
  L"  porvane-host doll LAYER... --to FOLDER [--shared-palette NAME.kcf [--dither]] [--cnf NAME.cnf]\n"
  L"                   [--background RRGGBB] [--transparent corner | N] [--lzh NAME.lzh]\n"
  L"  porvane-host doll DRAWING.psd --to FOLDER [...]\n"
  L"      Makes a KiSS doll of a drawing: its layers, pictures all of the drawing's size, given bottom\n"
  L"      first (a folder: its pictures in the order of the numbers their names start with, 01_body.png,\n"
  L"      02_dress.png, ...), or a layered .psd, whose visible top-level layers and groups are the parts.\n"
  L"      Each part becomes a cel cut to what shows, placed where it lay; the bottom one, the body, stays\n"
  L"      put. Layers drawn again in other colours become palette groups, one set each, and a last set\n"
  L"      lays the clothes beside the body. Names in the set are short ASCII (kana in romaji). Run it again\n"
  L"      into the same folder: files you changed by hand are kept beside the new set. --lzh NAME.lzh\n"
  L"      also packs the set into one LZH file, as pack does.\n"
  L"      e.g.  porvane-host doll layers --to mydoll\n"
  L"            porvane-host doll drawing.psd --to mydoll --shared-palette doll.kcf\n"
  L"  porvane-host pack FOLDER NAME.lzh\n"
  L"      Packs the files of a set's folder into one LZH file, as dolls are passed around.\n"
  L"      e.g.  porvane-host pack mydoll mydoll.lzh\n"
  L"  porvane-host check DOLL\n"
  L"      Checks a doll as viewers will read it. DOLL is its configuration (.cnf), its folder or its\n"
  L"      LZH file. Each problem comes with its line and what viewers do with it.\n"
  L"      e.g.  porvane-host check mydoll.lzh\n"
  L"  porvane-host preview DOLL PICTURE.png [--set N]\n"
  L"      Saves set N (set 0 unless given) as a viewer shows it when the doll opens, as a PNG picture.\n"
  L"  porvane-host unpack DOLL --to FOLDER\n"
  L"      Saves every cel of the doll in FOLDER as a PNG picture with its colours. A different picture\n"
  L"      already there under the same name is kept as NAME-old.png.\n"
  L"  porvane-host PICTURE-OR-FOLDER...\n"
  L"      What dropping pictures or folders on porvane-host.exe does: a folder of a drawing's layers, or a\n"
  L"      .psd, becomes a doll in a new folder beside it (NAME-kiss); other pictures: export ... --palette.\n"
  L"  porvane-host info            the plug-in's four identity strings\n"
  L"  porvane-host about           the plug-in's About box\n"
  L"  porvane-host settings        the plug-in's settings dialog, then the palette mode it stored\n"
  L"  porvane-host palette-mode [on | off]\n"
  L"      Shows or sets palette mode: when on, a picture of {3} x {4} pixels is saved as a KiSS\n"
  L"      palette (.kcf) instead of a cel.\n"
  L"  porvane-host --help          this text\n"
  L"\n"
  L"porvane-host reads PNG, GIF, TIFF, JPEG and BMP pictures. Pictures of up to 16 colours become\n"
  L"4-bit cels, of up to 256 colours 8-bit cels, full-colour ones 32-bit cels, each with its\n"
  L"transparency. It finds {1} in its own folder; put --plugin FILE before the command to load\n"
  L"another copy.\n",
  L"porvane-host は、画像編集ソフトと同じように {1} を使って画像を KiSS のセルに保存します。\n"
  L"\n"
  L"  porvane-host export 画像... [--to フォルダー] [--palette] [--transparent corner | 番号]\n"
  L"      画像をそれぞれ「名前.cel」として、--to のフォルダー（なければ作ります）か、画像と同じフォルダーに\n"
  L"      保存します。フォルダーを書くと中の画像すべてを、* や ? を使うと名前の合う画像を変換します。\n"
  L"      KiSS のファイルや、画像でないファイルは飛ばします。\n"
  L"      --palette を付けると、4 ビットと 8 ビットのセルには、画像の色のパレット「名前.kcf」も保存します。\n"
  L"      --transparent corner で背景（画像の四隅と同じ色の、四隅から続く部分）を、--transparent 番号\n"
  L"      でその色番号を透明にします\n"
  L"      （BMP では色番号 0 が透明です）。\n"
  L"      --shared-palette 名前.kcf を付けると、すべての画像を、1 つのパレット（全部で {2} 色まで）を\n"
  L"      共有する 8 ビットのセルにします。人形の部品は、ふつうこうしてパレットを共有します。\n"
  L"      --dither を付けると、パレットにない色をディザで表します。\n"
  L"      例  porvane-host export arm-left.png arm-right.png --to cels --palette\n"
  L"          porvane-host export parts --to cels\n"
  L"          porvane-host export parts --to doll --shared-palette doll.kcf\n"
  L"  porvane-host export 画像 保存先 [--stop-at-start | --stop-at-end]\n"
  L"      1 枚の画像を、画像編集ソフトと同じように、指定した名前で保存します。--stop-at-start か\n"
  L"      --stop-at-end を付けると、プラグインからの進み具合の報告を表示し、最初か最後の報告で\n"
  L"      「中止」と答えます。\n"
  L"      例  porvane-host export face.png face-new.cel\n"
  L"  porvane-host doll レイヤー... --to フォルダー [--shared-palette 名前.kcf [--dither]] [--cnf 名前.cnf]\n"
  L"                   [--background RRGGBB] [--transparent corner | 番号] [--lzh 名前.lzh]\n"
  L"  porvane-host doll 絵.psd --to フォルダー [...]\n"
  L"      絵から KiSS の人形を作ります。絵は、レイヤーごとに絵全体の大きさで保存した画像を、いちばん下の\n"
  L"      レイヤーから順に書くか（フォルダーを書くと、ファイル名の先頭の番号の順に読みます：01_体.png、\n"
  L"      02_ドレス.png …）、レイヤーのある .psd を書きます（表示されている、いちばん上の階層のレイヤーと\n"
  L"      グループが部品になります）。部品はそれぞれ見える部分だけのセルになり、元の位置に置かれます。\n"
  L"      いちばん下の部品（体）は動かないようにします。色違いに描いたレイヤーはパレットグループになり、\n"
  L"      色ごとにセットができます。最後のセットでは、服を体の横に並べます。セットのファイル名は短い\n"
  L"      半角英数字にします（かなはローマ字に直します）。同じフォルダーにもう一度作ると、手で変更した\n"
  L"      ファイルは別の名前で残します。--lzh 名前.lzh を付けると、pack と同じように、セットを 1 つの\n"
  L"      LZH ファイルにもまとめます。\n"
  L"      例  porvane-host doll layers --to mydoll\n"
  L"          porvane-host doll 絵.psd --to mydoll --shared-palette doll.kcf\n"
  L"  porvane-host pack フォルダー 名前.lzh\n"
  L"      セットのフォルダーのファイルを 1 つの LZH ファイルにまとめます。人形はふつうこの形で配ります。\n"
  L"      例  porvane-host pack mydoll mydoll.lzh\n"
  L"  porvane-host check 人形\n"
  L"      人形をビューアーと同じように読んで確かめます。人形には、設定ファイル（.cnf）か、その\n"
  L"      フォルダーか、LZH ファイルを書きます。問題ごとに、設定ファイルの何行目かと、ビューアーで\n"
  L"      どうなるかを表示します。\n"
  L"      例  porvane-host check mydoll.lzh\n"
  L"  porvane-host preview 人形 画像.png [--set 番号]\n"
  L"      人形を開いたときにビューアーに表示されるセット（指定がなければセット 0）を、PNG 画像にします。\n"
  L"  porvane-host unpack 人形 --to フォルダー\n"
  L"      人形のセルをすべて、色の付いた PNG 画像にしてフォルダーに保存します。同じ名前の違う画像が\n"
  L"      すでにあるときは、それを「名前-old.png」として残します。\n"
  L"  porvane-host 画像かフォルダー...\n"
  L"      porvane-host.exe に画像やフォルダーをドロップしたときと同じです。レイヤーの画像の入った\n"
  L"      フォルダーや .psd からは、その横の新しいフォルダー（名前-kiss）に人形を作ります。ほかの画像は\n"
  L"      export ... --palette と同じです。\n"
  L"  porvane-host info            プラグインの 4 つの識別文字列\n"
  L"  porvane-host about           プラグインのバージョン情報\n"
  L"  porvane-host settings        プラグインの設定画面と、保存されたパレットモード\n"
  L"  porvane-host palette-mode [on | off]\n"
  L"      パレットモードを表示・設定します。オンのときは、{3} x {4} ピクセルの画像をセルではなく\n"
  L"      KiSS のパレット（.kcf）として保存します。\n"
  L"  porvane-host --help          この説明\n"
  L"\n"
  L"読める画像は PNG・GIF・TIFF・JPEG・BMP です。16 色までの画像は 4 ビットのセルに、256 色までは\n"
  L"8 ビットのセルに、フルカラーの画像は 32 ビットのセルに、それぞれ透明な部分もそのまま保存します。\n"
  L"{1} は porvane-host と同じフォルダーから読み込みます。別のものを使うときは、コマンドの前に\n"
  L"--plugin ファイル と書いてください。\n")
M(STARTED_FROM_EXPLORER,
  L"porvane-host makes KiSS dolls and cels.\n"
  L"\n"
  L"To make a doll: save each layer of your drawing as a picture of the whole drawing's size (PNG keeps\n"
  L"its transparency), number the files from the bottom (01_body.png, 02_dress.png, ...), put them in one\n"
  L"folder, and drop the folder on porvane-host.exe. Or drop your layered .psd document itself. The doll\n"
  L"goes into a new folder beside it, named after it (layers-kiss), ready to open in a KiSS viewer.\n"
  L"\n"
  L"Drop other pictures, or folders of pictures, to save each as a cel with its palette beside it.\n"
  L"Or open a command prompt here and type  porvane-host --help  to see the commands.\n",
  L"porvane-host は KiSS の人形とセルを作ります。\n"
  L"\n"
  L"人形の作り方：絵のレイヤーをそれぞれ絵全体の大きさの画像として保存し（透明な部分を残すには PNG で）、\n"
  L"下から順にファイル名に番号を付けて（01_体.png、02_ドレス.png のように）1 つのフォルダーに入れ、\n"
  L"そのフォルダーを porvane-host.exe の上にドロップしてください。レイヤーのある .psd をそのままドロップ\n"
  L"しても作れます。人形は、その横にできる新しいフォルダー（layers なら layers-kiss）に作ります。\n"
  L"そのまま KiSS のビューアーで開けます。\n"
  L"\n"
  L"ほかの画像や、画像の入ったフォルダーをドロップすると、画像ごとに、画像と同じフォルダーにセルと\n"
  L"パレットを保存します。\n"
  L"コマンドプロンプトを開いて  porvane-host --help  と入力すると、コマンドの一覧を表示します。\n")
M(OUT_OF_MEMORY,
  L"porvane-host: there is not enough memory for this, and nothing was left half written: close other programs and try "
  L"again",
  L"porvane-host: メモリーが足りません。書きかけのファイルは残っていません。"
  L"ほかのソフトを閉じてから、もう一度試してください")
M(PRESS_ENTER, L"Press Enter to close this window.", L"Enter キーを押すと、このウィンドウを閉じます。")

// --- Settings and the plug-in -----------------------------------------------
M(PALETTE_MODE_ON, L"palette mode: on (a picture of {1} x {2} pixels is saved as a KiSS palette)",
  L"パレットモード: オン（{1} x {2} ピクセルの画像を KiSS のパレットとして保存します）")
M(PALETTE_MODE_OFF, L"palette mode: off (every picture is saved as a cel)",
  L"パレットモード: オフ（画像はすべてセルとして保存します）")
M(PALETTE_MODE_CHANGED, L"palette mode: {1} (changed)", L"パレットモード: {1}（変更しました）")
M(PALETTE_MODE_UNCHANGED, L"palette mode: {1} (unchanged)", L"パレットモード: {1}（変更なし）")
M(ON, L"on", L"オン")
M(OFF, L"off", L"オフ")
M(SETTING_NOT_STORED, L"porvane-host: the setting could not be saved in the registry",
  L"porvane-host: 設定をレジストリーに保存できませんでした")
M(IDENTITY_INTERFACE, L"interface", L"インターフェース")
M(IDENTITY_DESCRIPTION, L"description", L"説明")
M(IDENTITY_FORMAT, L"format", L"形式")
M(IDENTITY_EXTENSION, L"extension", L"拡張子")
M(PLUGIN_NOT_LOADED_NAMED, L"porvane-host: {1} cannot be loaded: check the file named after --plugin",
  L"porvane-host: {1} を読み込めません。--plugin のあとのファイル名を確かめてください")
M(PLUGIN_NOT_LOADED,
  L"porvane-host: {1} cannot be loaded. porvane-host looks for {2} in its own folder, {3}: copy {2} there, or "
  L"name it with --plugin FILE",
  L"porvane-host: {1} を読み込めません。porvane-host は {2} を自分と同じフォルダー（{3}）で探します。"
  L"{2} をそのフォルダーにコピーするか、--plugin ファイル で指定してください")
M(PLUGIN_NOT_A_PLUGIN, L"porvane-host: {1} is not a picture-export plug-in like {2}: check that it is the right file",
  L"porvane-host: {1} は {2} のような画像保存のプラグインではありません。正しいファイルか確かめてください")

// --- One line a picture -----------------------------------------------------
M(LINE_CONVERTED, L"{1} -> {2}  {3}", L"{1} -> {2}  {3}")
M(LINE_NOT_CONVERTED, L"{1}: not converted: {2}", L"{1}: 変換できませんでした。{2}")
M(LINE_NOT_WRITTEN, L"{1} -> {2}: not written: {3}", L"{1} -> {2}: 保存できませんでした。{3}")
M(LINE_NOTE, L"{1} ({2})", L"{1}（{2}）")
M(PROGRESS, L"  progress {1}/{2}", L"  進み具合 {1}/{2}")
M(CEL_4_BIT, L"{1} x {2}, 4-bit cel", L"{1} x {2}、4 ビットのセル")
M(CEL_8_BIT, L"{1} x {2}, 8-bit cel", L"{1} x {2}、8 ビットのセル")
M(CEL_FULL_COLOUR, L"{1} x {2}, 32-bit cel: full colour", L"{1} x {2}、32 ビットのセル（フルカラー）")
M(CEL_FULL_COLOUR_TRANSPARENT, L"{1} x {2}, 32-bit cel: full colour with transparency",
  L"{1} x {2}、32 ビットのセル（フルカラー、透明な部分あり）")
M(CEL_ON_SHARED_PALETTE, L"{1} x {2}, 8-bit cel on the shared palette", L"{1} x {2}、共通パレットの 8 ビットのセル")
M(SHARED_PALETTE_EXACT, L"shared palette {1}: {2} colours, each exactly as in the parts",
  L"共通パレット {1}: {2} 色（どの色も部品の色のまま）")
M(SHARED_PALETTE_REDUCED, L"shared palette {1}: the parts' {2} colours reduced to {3}",
  L"共通パレット {1}: 部品の {2} 色を {3} 色にまとめました")
M(SHARED_PALETTE_NOT_WRITTEN, L"shared palette {1}: not written: {2}", L"共通パレット {1}: 保存できませんでした。{2}")
M(SHARED_PALETTE_TOO_MANY_PIXELS, L"the parts hold too many pixels for one palette (over {1})",
  L"部品のピクセルが多すぎて、1 つのパレットにまとめられません（{1} ピクセルを超えています）")
M(KISS_PALETTE_STRIP, L"KiSS palette of {1} colours", L"{1} 色の KiSS パレット")
M(AND_PALETTE, L"{1} and palette {2}", L"{1}とパレット {2}")
M(PALETTE_KEPT, L"{1}; the different palette that was there is kept as {2}",
  L"{1}。元からあった別のパレットは {2} として残しました")
M(PALETTE_NOT_WRITTEN, L"{1}; palette {2} not written: {3}", L"{1}。パレット {2} は保存できませんでした。{3}")
M(NOTE_SWAPPED, L"colours 0 and {1} changed places, so that colour 0 is the transparent one",
  L"色番号 0 と {1} を入れ替えて、0 を透明な色にしました")
M(NOTE_MOVED, L"colour 0 moved to {1}, as nothing in the picture is transparent",
  L"画像に透明な部分がないので、色番号 0 の色を {1} に移しました")
M(NOTE_CORNER_ENTRY,
  L"its corners are colour {1}, which a viewer shows, as only colour 0 is transparent: --transparent corner makes "
  L"them transparent",
  L"四隅が色番号 {1} なので、ビューアーでは見えます（透明になるのは色番号 0 だけです）。--transparent corner で"
  L"透明にできます")
M(NOTE_CORNER_COLOUR,
  L"its corners are all one colour, which a viewer shows: --transparent corner makes them transparent",
  L"四隅が同じ色で、ビューアーでは見えます。--transparent corner で透明にできます")
M(NOTE_PARTLY_TRANSPARENT,
  L"{1} partly transparent pixels made solid and {2} made clear, as 8-bit cels have no partial transparency: "
  L"without --shared-palette they stay as drawn, in 32-bit cels",
  L"半透明のピクセルを {1} 個不透明に、{2} 個透明にしました。8 ビットのセルには半透明がないためです。"
  L"--shared-palette を付けなければ、32 ビットのセルで描いたとおりに残ります")
M(NOTES_JOINED, L"{1}; {2}", L"{1}。{2}")
M(NOTE_CORNERS_DIFFER, L"its corners are not all one colour, so nothing was made transparent",
  L"四隅が同じ色ではないので、透明にした色はありません")
M(NOTE_BACKGROUND_CLEARED, L"{1} pixels of the background, reached from the corners, made transparent",
  L"四隅から続く背景のピクセル {1} 個を透明にしました")
M(NOTE_BACKGROUND_CLEARED_SOME_SHOW,
  L"{1} pixels of the background, reached from the corners, made transparent, and {2} of its colour that it does "
  L"not reach left as they are",
  L"四隅から続く背景のピクセル {1} 個を透明にし、背景とつながっていない同じ色のピクセル {2} 個はそのまま残しました")

// --- A doll's set -------------------------------------------------------------
M(DOLL_PLACED, L"{1}, placed at {2}, {3}", L"{1}、位置 {2}, {3}")
M(DOLL_PLACED_FIXED, L"{1}, placed at {2}, {3} and fixed there: the body, which stays put",
  L"{1}、位置 {2}, {3} に固定（体なので動かないようにしました）")
M(DOLL_NAMED, L"named {1} in the set, as viewers need names of at most {3} ASCII characters: {2}",
  L"ビューアーで読める名前は半角英数字 {3} 文字までなので、セットでは {1} という名前にしました：{2}")
M(DOLL_FILE_RENAMED, L"{1} is named {2} in the set, as viewers need names of at most {4} ASCII characters: {3}",
  L"ビューアーで読める名前は半角英数字 {4} 文字までなので、{1} はセットでは {2} という名前にしました：{3}")
M(NAME_IN_ROMAJI, L"its kana written in romaji", L"かなをローマ字に変換")
M(NAME_LEFT_OUT, L"spaces and characters other than letters, digits, - and _ left out",
  L"英数字と - _ 以外の文字や空白を省略")
M(NAME_SHORTENED, L"shortened", L"短縮")
M(NAME_MADE_DISTINCT, L"a number added, as another file of the set has the name",
  L"セットのほかのファイルと同じ名前になるので番号を追加")
M(NAME_WINDOWS_DEVICE, L"a number added, as Windows keeps the name for a device",
  L"Windows では使えない名前（con など）なので番号を追加")
M(NAME_NUMBERED, L"named by its number, as nothing of its name can be written in ASCII",
  L"半角英数字にできる文字がないので番号で命名")
M(DOLL_EMPTY_LAYER, L"{1}: nothing in it shows, so it is left out",
  L"{1}: 見える部分がないので、セットに入れませんでした")
M(DOLL_HIDDEN_LEFT_OUT, L"{1}: hidden in the document, so left out",
  L"{1}: 非表示のレイヤーなので、セットに入れませんでした")
M(DOLL_VARIANT, L"{1}: {2} in other colours: no cel of its own, palette group {3}, shown in set {3}",
  L"{1}: {2} の色違いです。セルは作らず、パレットグループ {3} にしました（セット {3} で表示されます）")
M(DOLL_TOO_MANY_VARIANTS,
  L"no set made: {1} has more colour variants than the {2} a viewer can show (it shows {3} colour groups): keep the "
  L"others in another drawing",
  L"セットは作りませんでした。{1} の色違いが、ビューアーで表示できる {2} 個より多くあります（パレットグループは {3} "
  L"個までです）。残りは別の絵に分けてください")
M(DOLL_ORDER_GUESSED,
  L"the file names do not say the order of the layers, so they are stacked by name, bottom first: {1}. To choose "
  L"the order, number the files from the bottom: 01_body.png, 02_dress.png, ...",
  L"ファイル名からレイヤーの順番がわからないので、名前の順に下から重ねました：{1}。"
  L"順番を決めるには、下から順にファイル名に番号を付けてください（01_体.png、02_ドレス.png のように）")
M(LIST_JOINED, L"{1}, {2}", L"{1}、{2}")
M(DOLL_LAYER_SIZE, L"{1} ({2} x {3})", L"{1}（{2} x {3}）")
M(DOLL_SIZES_DIFFER,
  L"no set made: the layers of one drawing are all one size, and these are not {2} x {3} like {1}: {4}. Save every "
  L"layer at the size of the whole drawing",
  L"セットは作りませんでした。1 枚の絵のレイヤーはすべて同じ大きさのはずですが、"
  L"次のレイヤーは {1} と同じ {2} x {3} ではありません：{4}。どのレイヤーも絵全体の大きさで保存してください")
M(DOLL_DOCUMENT_ALONE, L"no set made: {1} is a layered document: give it alone, as the whole drawing",
  L"セットは作りませんでした。{1} はレイヤーのあるファイルです。このファイルだけを、絵全体として書いてください")
M(DOLL_LAYER_UNREADABLE, L"no set made: a layer could not be read",
  L"セットは作りませんでした。読めないレイヤーがあります")
M(DOLL_NO_LAYERS, L"no set made: there are no layers", L"セットは作りませんでした。レイヤーがありません")
M(DOLL_NOTHING_SHOWS, L"no set made: nothing shows in any layer; {1} was left as it was",
  L"セットは作りませんでした。どのレイヤーにも見える部分がありません。{1} は元のままです")
M(DOLL_NOT_WHOLE, L"no set made: not every file of it could be written, so {1} was left exactly as it was",
  L"セットは作りませんでした。保存できないファイルがあったので、{1} は元のままです")
M(DOLL_NO_MEMORY,
  L"no set made: there is not enough memory for this drawing, and {1} was left as it was: close other programs and try "
  L"again",
  L"セットは作りませんでした。この絵にはメモリーが足りません。{1} は元のままです。"
  L"ほかのソフトを閉じてから、もう一度試してください")
M(PALETTE_NOT_WRITTEN_ALONE, L"palette {1}: not written: {2}", L"パレット {1}: 保存できませんでした。{2}")
M(DOLL_SET_WRITTEN, L"set {1}: {2} cels on a playfield of {3} x {4}", L"セット {1}: {3} x {4} の画面に {2} 枚のセル")
M(DOLL_SET_NOT_WRITTEN, L"set {1}: not written: {2}", L"セット {1}: 保存できませんでした。{2}")
M(DOLL_SET_AS_DRAWN, L"set 0 shows the doll as drawn", L"セット 0 には、描いたとおりの人形が表示されます")
M(DOLL_SETS_RECOLOURED, L"sets 0 to {1} show the doll as drawn, each in its palette group's colours",
  L"セット 0 から {1} には、描いたとおりの人形が、それぞれのパレットグループの色で表示されます")
M(DOLL_SET_DRESS_UP, L"set {1} keeps the body in place and lays the other parts beside it, to put on",
  L"セット {1} では、体はそのままで、ほかの部品を横に並べます（着せ替えて遊べます）")

M(DROPPED_DRAWING, L"{1} is a drawing in layers: its KiSS doll goes into {2}",
  L"{1} はレイヤーに分かれた絵なので、KiSS の人形を {2} に作ります")

// The configuration's comments, in the ANSI code page.
M(CNF_HEADING, L"A KiSS set made by porvane-host from {1}.",
  L"porvane-host で作った KiSS のセットです（もとの絵：{1}）。")
M(CNF_LAYERS, L"{1} layers", L"{1} 枚のレイヤー")
M(CNF_FRONT_FIRST, L"Objects are listed front first, as viewers draw them.",
  L"オブジェクトは、ビューアーと同じく手前のものから順に並べてあります。")
M(CNF_SET_AS_DRAWN, L"set {1}: the doll as drawn, palette group {1}",
  L"セット {1}: 描いたとおりの人形（パレットグループ {1}）")
M(CNF_SET_RECOLOURED, L"set {1}: the doll as drawn, palette group {1}: {2}",
  L"セット {1}: 描いたとおりの人形（パレットグループ {1}：{2}）")
M(CNF_SET_DRESS_UP, L"set {1}: the body in place, the other parts beside it to put on",
  L"セット {1}: 体はそのまま、ほかの部品は横に並べてあります（着せ替え用）")

// --- A set put in place whole (handover/set_writer.h) ------------------------
M(SET_LEFTOVERS_NOT_CLEARED,
  L"no set written: a run that was stopped halfway left {1} behind, and it cannot be put right: {2}",
  L"セットは保存しませんでした。前回の保存が途中で止まって残った {1} を片付けられません。{2}")
M(SET_LEFTOVER_IN_THE_WAY,
  L"no set written: {1} is in the way. porvane-host keeps a set it is saving under that name, and did not make this "
  L"one: move it elsewhere, or rename it",
  L"セットは保存しませんでした。{1} が保存のじゃまになっています。"
  L"porvane-host は保存の途中のセットをこの名前で置きますが、これは porvane-host が作ったものではありません。"
  L"別の場所に移すか、名前を変えてください")
M(SET_FOLDER_NOT_MADE, L"no set written: the folder {1} cannot be made: {2}",
  L"セットは保存しませんでした。フォルダー {1} を作れません。{2}")
M(SET_FOLDER_NOT_WRITABLE, L"no set written: nothing can be saved in {1}: {2}",
  L"セットは保存しませんでした。{1} には保存できません。{2}")
M(SET_NAME_TWICE,
  L"no set written: two files of the set would both be named {1}: give --cnf or --shared-palette another name",
  L"セットは保存しませんでした。セットの 2 つのファイルが、どちらも {1} という名前になります。"
  L"--cnf か --shared-palette の名前を変えてください")
M(SET_NAME_NOT_FREE, L"no set written: {1} cannot be replaced: {2}",
  L"セットは保存しませんでした。{1} を置き換えられません。{2}")
M(SET_FILE_NOT_SAVED, L"no set written: {1} could not be saved: {2}. The folder holds the set it had, as it was",
  L"セットは保存しませんでした。{1} を保存できません。{2}。フォルダーの中は元のままです")
M(SET_NOT_PUT_IN_PLACE,
  L"no set written: {1} could not be put in place: {2}. The folder holds the set it had, as it was",
  L"セットは保存しませんでした。{1} を保存先に移せません。{2}。フォルダーの中は元のままです")
M(SET_NOT_WHOLE, L"no set written: the folder {1} holds the set it had, as it was",
  L"セットは保存しませんでした。フォルダー {1} の中は元のままです")
M(SET_KEPT_EDITED, L"{1} had been edited by hand, so it is kept as {2}",
  L"{1} は手で変更されていたので、{2} という名前で残しました")
M(SET_OLD_SET_RESTORED,
  L"{1}: a run that was stopped halfway had left files here; they are taken away, and the set is as it was before",
  L"{1}: 前回の保存が途中で止まって残っていたファイルを片付けました。セットは前回の保存の前のままです")
M(SET_NEW_SET_FINISHED, L"{1}: the last run was stopped just after it saved its set; what it left undone is done",
  L"{1}: 前回の保存はセットを保存した直後に止まっていたので、残りの片付けをしました")

// --- The end of a run -------------------------------------------------------
M(CONVERTED_ONE, L"1 picture converted", L"1 枚の画像を変換しました")
M(CONVERTED_MANY, L"{1} pictures converted", L"{1} 枚の画像を変換しました")
M(CONVERTED_SOME, L"{1} of {2} pictures converted; {3} failed", L"{2} 枚中 {1} 枚の画像を変換しました（{3} 枚は失敗）")
M(NOTHING_TO_CONVERT, L"no pictures to convert", L"変換する画像がありません")
M(SKIPPED, L"{1}; {2} skipped.", L"{1}。{2}は飛ばしました。")
M(SUMMARY_END, L"{1}.", L"{1}。")
M(KISS_FILES_ONE, L"1 KiSS file", L"KiSS のファイル 1 個")
M(KISS_FILES_MANY, L"{1} KiSS files", L"KiSS のファイル {1} 個")
M(OTHER_FILES_ONE, L"1 other file", L"ほかのファイル 1 個")
M(OTHER_FILES_MANY, L"{1} other files", L"ほかのファイル {1} 個")
M(AND, L"{1} and {2}", L"{1}と{2}")
M(IN_FOLDER, L"in {1}:", L"{1} の中:")
M(NO_FILE_MATCHES, L"{1}: no file matches", L"{1}: 名前の合うファイルがありません")
M(TO_IS_A_FILE, L"{1} is a file, not a folder: nothing converted",
  L"{1} はフォルダーではなくファイルです。何も変換しませんでした")
M(TO_NOT_MADE, L"the folder {1} cannot be made: {2}; nothing converted",
  L"フォルダー {1} を作れません。{2}。何も変換しませんでした")

// --- Why a picture was not read ---------------------------------------------
M(NO_SUCH_FILE, L"there is no such file", L"ファイルが見つかりません")
M(IN_USE, L"it is in use by another program", L"ほかのソフトが使っています")
M(CANNOT_OPEN, L"it cannot be opened (no permission to read it)", L"開けません（読む権限がありません）")
M(NO_MEMORY_TO_READ, L"not enough memory to read it", L"読むためのメモリーが足りません")
M(CANNOT_READ, L"it cannot be read", L"読めません")
M(NOT_A_PICTURE, L"not a picture porvane-host reads (BMP, PNG, GIF, TIFF, JPEG): save it as PNG or BMP",
  L"porvane-host の読める画像（BMP・PNG・GIF・TIFF・JPEG）ではありません。PNG か BMP で保存し直してください")
M(DAMAGED_PICTURE, L"a damaged picture: it is named as one, but its first bytes are not a picture's",
  L"壊れた画像です（拡張子は画像のものですが、中身が画像ではありません）")
M(TOO_LARGE_SIDE, L"too large for a KiSS cel (at most {1} pixels a side)",
  L"KiSS のセルには大きすぎます（縦横とも {1} ピクセルまで）")
M(TOO_LARGE_BLOCK, L"too large for a KiSS cel (its pixels would take more than {1} GB)",
  L"KiSS のセルには大きすぎます（ピクセルが {1} GB を超えます）")
M(NO_MEMORY, L"not enough memory for this picture", L"この画像にはメモリーが足りません")
M(NO_IMAGING_COMPONENT,
  L"this Windows cannot read such pictures (its imaging component is missing): save it as BMP",
  L"この Windows ではこの種類の画像を読めません（Windows の画像機能がありません）。BMP で保存し直してください")
M(PICTURE_UNREADABLE, L"the picture cannot be read: the file is damaged or of a kind Windows does not know",
  L"画像を読めません。ファイルが壊れているか、Windows が対応していない種類です")
M(PICTURE_DAMAGED, L"the picture cannot be read: the file is damaged", L"画像を読めません。ファイルが壊れています")
M(PNG_ENDS_EARLY, L"a damaged PNG picture: the file ends too early",
  L"壊れた PNG 画像です（ファイルが途中で切れています）")
M(PNG_CHECKSUM, L"a damaged PNG picture: some of its data is not as it was saved",
  L"壊れた PNG 画像です（中のデータが保存したときと違っています）")
M(TRANSPARENT_NO_TABLE,
  L"--transparent {1} names a colour of a colour table, and this full-colour picture has none: use "
  L"--transparent corner",
  L"--transparent {1} は色番号の画像のためのものです。フルカラーの画像には --transparent corner を使ってください")
M(TRANSPARENT_NO_ENTRY, L"--transparent {1}: the picture's colours are numbered 0 to {2}",
  L"--transparent {1}: この画像の色番号は 0 から {2} までです")
M(BMP_NOT_BMP, L"not a BMP picture", L"BMP 画像ではありません")
M(BMP_TOO_SHORT, L"the file is too short to be a BMP picture", L"BMP 画像としては短すぎるファイルです")
M(BMP_SHORT_HEADER, L"a damaged BMP: the file is too short for its header",
  L"壊れた BMP です（ファイルが先頭の近くで切れています）")
M(BMP_OS2_2, L"an OS/2 2.x BMP, which porvane-host cannot read: save it as PNG",
  L"OS/2 2.x の BMP は読めません。PNG で保存し直してください")
M(BMP_UNKNOWN_HEADER, L"a BMP with a header of a kind porvane-host does not know ({1} bytes): save it as PNG",
  L"porvane-host の読めない種類の BMP です（ヘッダー {1} バイト）。PNG で保存し直してください")
M(BMP_DEPTH, L"a BMP of {1} bits a pixel, which porvane-host cannot read: save it as PNG",
  L"1 ピクセル {1} ビットの BMP は読めません。PNG で保存し直してください")
M(BMP_RUN_LENGTH_DEPTH, L"a damaged BMP: run-length compression does not go with {1} bits a pixel",
  L"壊れた BMP です（1 ピクセル {1} ビットの BMP には使えない圧縮がされています）")
M(BMP_MASKS_DEPTH, L"a damaged BMP: colour masks do not go with {1} bits a pixel",
  L"壊れた BMP です（1 ピクセル {1} ビットの BMP には使えない色の指定があります）")
M(BMP_HOLDS_PNG_OR_JPEG, L"a BMP that holds a PNG or JPEG image: save it as PNG",
  L"PNG か JPEG の入った BMP です。PNG で保存し直してください")
M(BMP_COMPRESSION, L"a BMP compressed in a way porvane-host cannot read (compression {1}): save it as PNG",
  L"porvane-host の読めない方法で圧縮された BMP です（圧縮の種類 {1}）。PNG で保存し直してください")
M(BMP_NEGATIVE_WIDTH, L"a damaged BMP: its width is negative", L"壊れた BMP です（幅がマイナスです）")
M(BMP_TOP_DOWN_RUN_LENGTH, L"a damaged BMP: a picture stored top row first cannot be run-length compressed",
  L"壊れた BMP です（上の行から保存された画像に、使えない圧縮がされています）")
M(BMP_SHORT_MASKS, L"a damaged BMP: the file is too short for its colour masks",
  L"壊れた BMP です（色の指定の途中でファイルが切れています）")
M(BMP_PIXELS_IN_HEADER, L"a damaged BMP: its pixels would start inside its header",
  L"壊れた BMP です（画像のデータの位置が正しくありません）")
M(BMP_SHORT_PIXELS, L"a damaged BMP: the file ends before its last pixels",
  L"壊れた BMP です（画像のデータの途中でファイルが切れています）")
M(BMP_RUN_LENGTH_ENDS, L"a damaged BMP: its compressed pixels end too early",
  L"壊れた BMP です（圧縮された画像のデータが途中で切れています）")

// --- Layered documents (.psd) -----------------------------------------------
M(LAYERED_LARGE_DOCUMENT, L"a large document (.psb), which porvane-host cannot read: save it as .psd",
  L"ラージドキュメント形式（.psb）は読めません。.psd で保存し直してください")
M(LAYERED_UNKNOWN_VERSION, L"a .psd of a version porvane-host does not know ({1})",
  L"porvane-host の読めないバージョン（{1}）の .psd です")
M(LAYERED_COLOUR_MODE,
  L"a document in {1}, which porvane-host cannot read: change its colour mode to RGB and save it again",
  L"{1}の画像は読めません。カラーモードを RGB にして保存し直してください")
M(PSD_MODE_BITMAP, L"black and white (bitmap) colour", L"モノクロ 2 階調")
M(PSD_MODE_INDEXED, L"indexed colour", L"インデックスカラー")
M(PSD_MODE_CMYK, L"CMYK colour", L"CMYK カラー")
M(PSD_MODE_MULTICHANNEL, L"multichannel colour", L"マルチチャンネル")
M(PSD_MODE_DUOTONE, L"duotone colour", L"ダブルトーン")
M(PSD_MODE_LAB, L"Lab colour", L"Lab カラー")
M(PSD_MODE_OTHER, L"a colour mode of its own", L"ほかのカラーモード")
M(LAYERED_DEPTH, L"a document of {1} bits a channel, which porvane-host cannot read: save it at 8 or 16 bits",
  L"色ごとに {1} ビットの画像は読めません。8 ビットか 16 ビットにして保存し直してください")
M(LAYERED_CANVAS_TOO_LARGE, L"a damaged .psd: it says it is {1} pixels on a side, more than a .psd can be ({2})",
  L"壊れた .psd です（縦か横が {1} ピクセルとなっていますが、.psd は {2} ピクセルまでです）")
M(LAYERED_TRUNCATED, L"a damaged .psd: the file ends too soon (was it copied or downloaded whole?)",
  L"壊れた .psd です（ファイルが途中で切れています。コピーやダウンロードが最後まで終わっているか確かめてください）")
M(LAYERED_DAMAGED, L"a damaged .psd: its sizes do not add up", L"壊れた .psd です（中のデータの大きさが合いません）")
M(LAYERED_COMPRESSION, L"a .psd compressed in a way porvane-host cannot read (compression {1})",
  L"porvane-host の読めない方法で圧縮された .psd です（圧縮の種類 {1}）")
M(LAYERED_GROUPS_TOO_DEEP, L"groups inside groups more than {1} deep, which porvane-host cannot read: ungroup some",
  L"グループの中のグループが {1} 段より深いので読めません。グループをいくつか解除してください")
M(LAYERED_NO_MERGED_PICTURE,
  L"this .psd was saved without a picture of all its layers together (in Photoshop, save it with Maximize "
  L"Compatibility on); doll reads its layers",
  L"この .psd にはレイヤーを全部重ねた画像が保存されていません（Photoshop では「互換性を優先」をオンにして"
  L"保存してください）。doll ならレイヤーから読めます")
M(PSD_NOTE_HIDDEN, L"{1}: hidden, left out", L"{1}: 非表示なので入れませんでした")
M(PSD_NOTE_ADJUSTMENT, L"{1}: an adjustment or fill layer, left out",
  L"{1}: 調整レイヤーか塗りつぶしレイヤーなので入れませんでした")
M(PSD_NOTE_BASE_NOT_DRAWN, L"{1}: clipped to a layer that is left out, so left out too",
  L"{1}: クリッピング先のレイヤーを入れないので、これも入れませんでした")
M(PSD_NOTE_BLEND_MODE,
  L"{1}: drawn in Normal mode instead of {2}, as KiSS has no other: merge it into the layer below to keep its look",
  L"{1}: 描画モード「{2}」ではなく「通常」で描きます（KiSS にはほかのモードがありません）。見た目を保つには、"
  L"下のレイヤーと結合してください")
M(PSD_NOTE_EFFECTS, L"{1}: drawn without its layer effects (shadows, strokes, glows): rasterize them to keep them",
  L"{1}: レイヤー効果（ドロップシャドウ・境界線・光彩など）なしで描きます。残すにはラスタライズしてください")
M(PSD_BLEND_DISSOLVE, L"Dissolve", L"ディザ合成")
M(PSD_BLEND_DARKEN, L"Darken", L"比較（暗）")
M(PSD_BLEND_MULTIPLY, L"Multiply", L"乗算")
M(PSD_BLEND_COLOUR_BURN, L"Color Burn", L"焼き込みカラー")
M(PSD_BLEND_LINEAR_BURN, L"Linear Burn", L"焼き込み（リニア）")
M(PSD_BLEND_DARKER_COLOUR, L"Darker Color", L"カラー比較（暗）")
M(PSD_BLEND_LIGHTEN, L"Lighten", L"比較（明）")
M(PSD_BLEND_SCREEN, L"Screen", L"スクリーン")
M(PSD_BLEND_COLOUR_DODGE, L"Color Dodge", L"覆い焼きカラー")
M(PSD_BLEND_LINEAR_DODGE, L"Linear Dodge (Add)", L"覆い焼き（リニア）- 加算")
M(PSD_BLEND_LIGHTER_COLOUR, L"Lighter Color", L"カラー比較（明）")
M(PSD_BLEND_OVERLAY, L"Overlay", L"オーバーレイ")
M(PSD_BLEND_SOFT_LIGHT, L"Soft Light", L"ソフトライト")
M(PSD_BLEND_HARD_LIGHT, L"Hard Light", L"ハードライト")
M(PSD_BLEND_VIVID_LIGHT, L"Vivid Light", L"ビビッドライト")
M(PSD_BLEND_LINEAR_LIGHT, L"Linear Light", L"リニアライト")
M(PSD_BLEND_PIN_LIGHT, L"Pin Light", L"ピンライト")
M(PSD_BLEND_HARD_MIX, L"Hard Mix", L"ハードミックス")
M(PSD_BLEND_DIFFERENCE, L"Difference", L"差の絶対値")
M(PSD_BLEND_EXCLUSION, L"Exclusion", L"除外")
M(PSD_BLEND_SUBTRACT, L"Subtract", L"減算")
M(PSD_BLEND_DIVIDE, L"Divide", L"除算")
M(PSD_BLEND_HUE, L"Hue", L"色相")
M(PSD_BLEND_SATURATION, L"Saturation", L"彩度")
M(PSD_BLEND_COLOUR, L"Color", L"カラー")
M(PSD_BLEND_LUMINOSITY, L"Luminosity", L"輝度")
M(PSD_BLEND_OTHER, L"another blend mode", L"ほかの描画モード")

// --- Why a file was not written ---------------------------------------------
M(FOLDER_MISSING, L"its folder {1} does not exist", L"保存先のフォルダー {1} がありません")
M(FOLDER_IS_FILE, L"{1} is a file, not a folder", L"{1} はフォルダーではなくファイルです")
M(CANNOT_CREATE_THERE, L"the file cannot be created in that folder", L"保存先のフォルダーにファイルを作れません")
M(NAME_IS_FOLDER, L"it is a folder: give a file name, or put the folder after --to",
  L"フォルダーです。ファイル名を書くか、フォルダーは --to のあとに書いてください")
M(READ_ONLY, L"it is read-only: clear its read-only setting, or choose another name",
  L"読み取り専用のファイルです。読み取り専用を外すか、別の名前で保存してください")
M(HELD_BY_ANOTHER, L"it is in use by another program: close it there first",
  L"ほかのソフトが使っています。そのソフトで閉じてから、もう一度試してください")
M(CANNOT_BE_OPENED, L"it cannot be opened", L"開けません")
M(CANNOT_BE_REPLACED, L"it cannot be replaced", L"置き換えられません")
M(IS_A_PICTURE, L"it is one of the pictures being converted", L"変換している画像そのものです")
M(NAME_TOO_LONG, L"the name is too long (at most {1} characters, folders included)",
  L"名前が長すぎます（フォルダーも含めて {1} 文字まで）")
M(NO_PERMISSION_TO_WRITE, L"you may not save files in that folder", L"保存先のフォルダーに保存する権限がありません")
M(DISK_FULL, L"the disk is full: make room, or save somewhere else",
  L"ディスクがいっぱいです。空きを作るか、別の場所に保存してください")
M(DISK_READ_ONLY, L"the disk is write-protected: save somewhere else",
  L"ディスクが書き込み禁止になっています。別の場所に保存してください")
M(NAME_NOT_ALLOWED, L"the name has characters Windows does not allow in a file name",
  L"ファイル名に使えない文字が入っています")
M(STOPPED, L"stopped when the progress report answered \"stop\"", L"進み具合の報告で「中止」と答えたので止めました")
M(PLUGIN_ANSWERED, L"the plug-in did not save it (it answered {1})",
  L"プラグインが保存しませんでした（結果の番号 {1}）")

// --- Finished dolls: pack, check, preview, unpack -----------------------------
// The command lines
M(PACK_TAKES, L"pack takes the set's folder and the name of the LZH file to make, as pack mydoll mydoll.lzh",
  L"pack のあとには、セットのフォルダーと作る LZH ファイルの名前を、pack mydoll mydoll.lzh のように書いてください")
M(TAKES_ONE_DOLL, L"{1} takes one doll: its configuration (.cnf), its folder or its LZH file",
  L"{1} のあとには、人形を 1 つ（設定ファイル .cnf、そのフォルダー、または LZH ファイル）書いてください")
M(PREVIEW_TAKES, L"preview takes a doll and the name of the PNG picture to make, as preview doll.cnf doll.png",
  L"preview のあとには、人形と作る PNG 画像の名前を、preview doll.cnf doll.png のように書いてください")
M(UNPACK_NEEDS_TO, L"unpack needs --to FOLDER: the folder the pictures go into",
  L"unpack には --to フォルダー が必要です（画像を保存するフォルダーです）")
M(SET_TAKES, L"--set takes a set's number from 0 to {2}, not {1}",
  L"--set のあとには 0 から {2} までのセット番号を書いてください（{1} は使えません）")
M(LZH_NEEDS_NAME, L"--lzh needs the LZH file's name after it", L"--lzh のあとに LZH ファイルの名前を書いてください")

// Lines
M(FILE_SAYS, L"{1}: {2}", L"{1}: {2}")
M(NOT_WRITTEN, L"{1}: not written: {2}", L"{1}: 保存できませんでした。{2}")
M(DOLL_NOT_READ, L"{1}: not read: {2}", L"{1}: 読めませんでした。{2}")
M(DOLL_NO_CONFIGURATION, L"{1}: there is no configuration (.cnf) in it", L"{1}: 設定ファイル（.cnf）が入っていません")
M(DOLL_NOT_A_DOLL, L"{1}: not a doll: give its configuration (.cnf), its folder or its LZH file",
  L"{1}: 人形ではありません。設定ファイル（.cnf）か、そのフォルダーか、LZH ファイルを書いてください")
M(PACKED_ONE, L"{1}: the one file of {2} ({3} bytes) packed into {4} bytes",
  L"{1}: {2} のファイル 1 個（{3} バイト）を {4} バイトに圧縮しました")
M(PACKED_MANY, L"{1}: the {2} files of {3} ({4} bytes) packed into {5} bytes",
  L"{1}: {3} のファイル {2} 個（{4} バイト）を {5} バイトに圧縮しました")
M(PACKED_FOLDERS_LEFT_OUT, L"{1}; the folders in it are left out: {2}", L"{1}。中のフォルダーは入れませんでした：{2}")
M(KISS_FINDING_AT_LINE, L"{1}, line {2}: {3}", L"{1} の {2} 行目: {3}")
M(KISS_FINDING_AT_LINE_ABOUT, L"{1}, line {2} ({3}): {4}", L"{1} の {2} 行目（{3}）: {4}")
M(KISS_CHECK_SOUND, L"{1}: no problems found; the doll should open the same in every viewer",
  L"{1}: 問題は見つかりませんでした。どのビューアーでも同じように開けるはずです")
M(KISS_CHECK_FOUND_ONE, L"{1}: 1 problem found: {2}", L"{1}: 問題が 1 件見つかりました。{2}")
M(KISS_CHECK_FOUND_MANY, L"{1}: {2} problems found: {3}", L"{1}: 問題が {2} 件見つかりました。{3}")
M(KISS_WORST_REFUSES, L"viewers will not open the doll until it is fixed", L"直すまで、ビューアーでは開けません")
M(KISS_WORST_MISSHOWS, L"viewers open the doll, but do not show it as it was made",
  L"ビューアーで開けますが、作ったとおりには表示されません")
M(KISS_WORST_SOME_VIEWERS, L"most viewers show it right, but some do not",
  L"たいていのビューアーでは正しく表示されますが、そうでないビューアーもあります")
M(KISS_NOT_CHECKED, L"{1}: not checked: {2}", L"{1}: 確かめられませんでした。{2}")
M(PREVIEW_WRITTEN, L"{1}: set {2} of {3}, {4} x {5}", L"{1}: {3} のセット {2}（{4} x {5}）")
M(UNPACKED, L"{1} -> {2}  {3} x {4}", L"{1} -> {2}  {3} x {4}")
M(UNPACKED_OLD_KEPT, L"{1}; the picture that was there is kept as {2}", L"{1}。前からあった画像は {2} として残しました")
M(UNPACKED_ALREADY_THERE, L"{1} -> {2}  already there, the same picture", L"{1} -> {2}  同じ画像がすでにあります")
M(NOT_UNPACKED, L"{1}: not made into a picture: {2}", L"{1}: 画像にできませんでした。{2}")
M(UNPACKED_CELS_ONE, L"1 cel made into a picture", L"1 枚のセルを画像にしました")
M(UNPACKED_CELS_MANY, L"{1} cels made into pictures", L"{1} 枚のセルを画像にしました")
M(UNPACKED_CELS_SOME, L"{1} of {2} cels made into pictures; {3} failed",
  L"{2} 枚中 {1} 枚のセルを画像にしました（{3} 枚は失敗）")
M(UNPACKED_NO_CELS, L"no cels to make into pictures", L"画像にするセルがありません")

// Why a set's folder was not packed
M(PACK_NO_SUCH_FOLDER, L"there is no folder {1}", L"フォルダー {1} がありません")
M(PACK_NOT_A_FOLDER, L"{1} is a file, not a folder: give the set's folder",
  L"{1} はフォルダーではなくファイルです。セットのフォルダーを書いてください")
M(PACK_FOLDER_UNREADABLE, L"the folder {1} cannot be read: {2}", L"フォルダー {1} を読めません。{2}")
M(PACK_FOLDER_EMPTY, L"the folder {1} holds no files", L"フォルダー {1} にファイルがありません")
M(PACK_NAME_NOT_SHIFT_JIS,
  L"the name {1} has characters an LZH file cannot hold (it holds letters, digits and Japanese): rename the file",
  L"{1} という名前には、LZH ファイルに入れられない文字があります（入れられるのは英数字と日本語です）。"
  L"ファイルの名前を変えてください")
M(PACK_FILE_UNREADABLE, L"{1} cannot be read: {2}", L"{1} を読めません。{2}")
M(PACK_ARCHIVE_IS_IN_SET, L"it is one of the set's own files: give the LZH file another name",
  L"セットのファイルそのものです。LZH ファイルには別の名前を付けてください")

// LZH archives: writing ({1}: the file of the set concerned)
M(LZH_NAME_EMPTY, L"a file to pack has no name", L"名前のないファイルがあります")
M(LZH_NAME_TOO_LONG, L"the name {1} is too long for an LZH file ({2} bytes at most)",
  L"{1} は LZH ファイルに入れるには名前が長すぎます（{2} バイトまで）")
M(LZH_NAME_NOT_PLAIN,
  L"the name {1} cannot go into an LZH file: a set's files are named without folders, drive letters or control "
  L"characters",
  L"{1} という名前は LZH ファイルに入れられません（セットのファイル名には、フォルダー、ドライブ名、制御文字は使えません）")
M(LZH_NAME_TWICE, L"{1} is there twice (names that differ only in capital letters are one name)",
  L"{1} が 2 つあります（大文字と小文字の違いだけの名前は、同じ名前になります）")
M(LZH_TIME_NOT_A_DATE, L"the date of {1} is not a real date", L"{1} の更新日時が正しい日付ではありません")
M(LZH_FILE_TOO_LARGE, L"{1} is too large for an LZH file ({2} GB at most)",
  L"{1} は LZH ファイルに入れるには大きすぎます（{2} GB まで）")
M(LZH_TOO_MANY_FILES, L"there are too many files for one LZH file ({1} at most)",
  L"1 つの LZH ファイルに入れるにはファイルが多すぎます（{1} 個まで）")
M(LZH_ARCHIVE_TOO_LARGE, L"the files together are too large for one LZH file ({1} GB at most)",
  L"ファイルを合わせると、1 つの LZH ファイルには大きすぎます（{1} GB まで）")
// LZH archives: reading ({1}: the entry's name; {2}: its method or size)
M(LZH_NOT_AN_ARCHIVE, L"it is not an LZH file", L"LZH ファイルではありません")
M(LZH_TRUNCATED, L"the LZH file ends too early (perhaps its download did not finish)",
  L"LZH ファイルが途中で切れています（ダウンロードが最後まで終わっていないのかもしれません）")
M(LZH_TRUNCATED_AFTER, L"the LZH file ends too early, after {1} (perhaps its download did not finish)",
  L"LZH ファイルが {1} のあとで切れています（ダウンロードが最後まで終わっていないのかもしれません）")
M(LZH_HEADER_DAMAGED, L"the LZH file is damaged", L"LZH ファイルが壊れています")
M(LZH_HEADER_DAMAGED_AFTER, L"the LZH file is damaged after {1}", L"LZH ファイルは {1} のあとが壊れています")
M(LZH_HEADER_LEVEL_UNKNOWN, L"the LZH file was made in a form porvane-host cannot read: unpack it with an archiver",
  L"この LZH ファイルは porvane-host では読めない形式です。解凍ソフトで展開してください")
M(LZH_METHOD_UNSUPPORTED,
  L"{1} is packed in an old way ({2}) that porvane-host cannot unpack: unpack it with an archiver",
  L"{1} は porvane-host では展開できない古い方式（{2}）で圧縮されています。解凍ソフトで展開してください")
M(LZH_DATA_DAMAGED, L"{1} is damaged in the LZH file", L"{1} は LZH ファイルの中で壊れています")
M(LZH_CRC_MISMATCH, L"{1} does not unpack to the file that was packed: the LZH file is damaged",
  L"{1} を展開しても、圧縮したときのファイルに戻りません（LZH ファイルが壊れています）")
M(LZH_ENTRY_TOO_LARGE, L"{1} is too large to read ({2} bytes)", L"{1} は大きすぎて読めません（{2} バイト）")
M(LZH_TOTAL_TOO_LARGE,
  L"the LZH file holds more than porvane-host reads at once: {1} and the files after it were not read",
  L"LZH ファイルの中身が多すぎて、一度には読みきれません。{1} から後ろのファイルは読みませんでした")
M(LZH_OUT_OF_MEMORY, L"not enough memory for the LZH file", L"LZH ファイルを読むためのメモリーが足りません")

// PNG pictures
M(PNG_NO_IMAGING_COMPONENT, L"this Windows cannot make PNG pictures (its imaging component is missing)",
  L"この Windows では PNG 画像を作れません（Windows の画像機能がありません）")
M(PNG_NOT_ENCODED, L"Windows could not make it into a PNG picture", L"Windows が PNG 画像にできませんでした")

// What the check finds, and what a viewer does with it. The files:
M(KISS_FILE_MISSING, L"there is no such file beside the configuration: viewers leave this line out",
  L"設定ファイルと同じ場所に、このファイルがありません。ビューアーはこの行を読み飛ばします")
M(KISS_FILE_UNREADABLE, L"the file cannot be read: viewers leave this line out",
  L"このファイルを読めません。ビューアーはこの行を読み飛ばします")
M(KISS_FILE_TRUNCATED,
  L"the file is damaged: it should hold {1} bytes but holds {2}; viewers leave it out or show it broken",
  L"ファイルが壊れています（{1} バイトあるはずが、{2} バイトしかありません）。ビューアーでは表示されないか、崩れて表示されます")
M(KISS_CEL_IS_NOT_A_CEL, L"this is a KiSS file, but not a cel (a palette, perhaps): viewers leave it out",
  L"KiSS のファイルですが、セルではありません（パレットかもしれません）。ビューアーでは表示されません")
M(KISS_CEL_UNKNOWN_DEPTH,
  L"a cel of {1} bits a pixel, which viewers cannot show (they show 4, 8 and 32; 24 is porvane's own form): save it "
  L"again as an 8-bit or a 32-bit cel",
  L"1 ピクセル {1} ビットのセルは、ビューアーで表示できません（表示できるのは 4・8・32 ビットで、24 ビットは porvane "
  L"独自の形式です）。8 ビットか 32 ビットのセルで保存し直してください")
M(KISS_CEL_EMPTY, L"the cel is {1} x {2} pixels: it has nothing to show",
  L"セルの大きさが {1} x {2} ピクセルなので、何も表示されません")
M(KISS_PALETTE_IS_NOT_A_PALETTE,
  L"this is a KiSS file, but not a palette (a cel, perhaps): the cels that use it do not get their colours",
  L"KiSS のファイルですが、パレットではありません（セルかもしれません）。このパレットを使うセルは正しい色になりません")
M(KISS_PALETTE_UNKNOWN_DEPTH, L"a palette of {1} bits a colour, which viewers cannot read (they read 12 and 24)",
  L"1 色 {1} ビットのパレットは、ビューアーで読めません（読めるのは 12 ビットと 24 ビットです）")
M(KISS_PALETTE_NO_COLOURS, L"the palette says it has no colours", L"パレットに色が 1 つもありません")
// The lines of the configuration:
M(KISS_LINE_TOO_LONG,
  L"the line is {1} bytes long; viewers read at most {2}, and cut the line or put objects in the wrong place",
  L"この行は {1} バイトあります。ビューアーが読めるのは {2} バイトまでなので、行が途中で切れたり、"
  L"オブジェクトが違う場所に置かれたりします")
M(KISS_PLAYFIELD_UNREADABLE, L"the playfield is written (WIDTH,HEIGHT), as (448,320): viewers cannot read this line",
  L"画面の大きさは (幅,高さ) と、たとえば (448,320) のように書きます。この行はビューアーが読めません")
M(KISS_BORDER_UNREADABLE,
  L"the border's colour is written [ and a colour number from 0 to {1}, as [0: viewers cannot read this line",
  L"枠の色は [ のあとに 0〜{1} の色番号を、たとえば [0 のように書きます。この行はビューアーが読めません")
M(KISS_CEL_LINE_UNREADABLE,
  L"a cel line reads #OBJECT NAME.cel, then *PALETTE and :SETS if needed, as #3 hat.cel *0 :0 1; viewers leave out "
  L"what they cannot read",
  L"セルの行は「#オブジェクト番号 ファイル名.cel」と書き、必要なら「*パレット番号」と「:セット番号」を続けます"
  L"（たとえば #3 hat.cel *0 :0 1）。読めない部分はビューアーが無視します")
M(KISS_OBJECT_NUMBER_TOO_LARGE, L"object number {1} is past the largest viewers take ({2}): viewers leave the line out",
  L"オブジェクト番号 {1} は大きすぎます（{2} までです）。ビューアーはこの行を読み飛ばします")
M(KISS_FIX_TOO_LARGE, L"the fix value {1} is past the largest viewers take ({2})",
  L"固定値 {1} は大きすぎます（{2} までです）")
M(KISS_SET_OUT_OF_RANGE,
  L"there is no set {1}: sets are 0 to {2}, written apart (:0 1 2); viewers leave it out or read each digit as a set",
  L"セット {1} はありません。セットは 0〜{2} で、:0 1 2 のように離して書きます。ビューアーによって、無視されるか、"
  L"数字 1 つずつが別のセットとして読まれます")
M(KISS_NO_SETS_AFTER_COLON, L"':' with no set after it: one viewer shows this cel in no set, others in every set",
  L"「:」のあとにセット番号がありません。ビューアーによって、このセルがどのセットにも出なかったり、すべてのセットに"
  L"出たりします")
M(KISS_SET_LINE_GROUP_UNREADABLE, L"a $ line starts with the palette group, as $0: viewers cannot read this one",
  L"$ の行は、$0 のようにパレットグループの番号から書き始めます。この行はビューアーが読めません")
M(KISS_SET_LINE_POSITION_UNREADABLE,
  L"position {1} on this line cannot be read: write X,Y with no space, or *; viewers stop reading the line there",
  L"この行の {1} 番目の位置が読めません。X,Y と空白を入れずに書くか、* にしてください。ビューアーはこの位置から"
  L"後ろを読みません")
M(KISS_TOO_MANY_SETS, L"this is set line {1}; viewers have {2} sets and ignore the rest",
  L"これは {1} 本目のセットの行です。セットは {2} 個までなので、ここから後ろはビューアーに無視されます")
M(KISS_FKISS_SYNTAX,
  L"FKiSS, at character {1}: a parenthesis or quote that does not close, or text that is no command; viewers skip "
  L"the line",
  L"FKiSS の {1} 文字目: かっこや引用符が閉じていないか、命令ではない文字があります。ビューアーはこの行を読み飛ばします")
M(KISS_FKISS_UNKNOWN_COMMAND,
  L"FKiSS, at character {1}: a command this check does not know; viewers that do not know it skip the line",
  L"FKiSS の {1} 文字目: porvane-host の知らない命令です。この命令を知らないビューアーは、この行を読み飛ばします")
M(KISS_FKISS_NOT_LOWERCASE,
  L"FKiSS, at character {1}: the command is not in lowercase; GnomeKiss and other strict viewers do not know it",
  L"FKiSS の {1} 文字目: 命令が小文字で書かれていません。GnomeKiss など厳密なビューアーでは動きません")
M(KISS_FKISS_BEFORE_EVENT_HANDLER,
  L"this FKiSS line is above ;@EventHandler, so viewers skip it: put ;@EventHandler above the first FKiSS line",
  L"この FKiSS の行は ;@EventHandler より前にあるので、ビューアーに無視されます。;@EventHandler を最初の FKiSS の"
  L"行より前に置いてください")
M(KISS_CEL_AFTER_EVENT_HANDLER,
  L"a cel line below ;@EventHandler, which some viewers do not take: move the cel lines above the FKiSS part",
  L"セルの行が ;@EventHandler より後ろにあります。読まないビューアーがあるので、FKiSS の部分より前に移してください")
// The doll as a whole:
M(KISS_NAME_NOT_ASCII,
  L"character {1} of the name is not a plain letter or digit (Japanese, say): viewers leave the line out; name the "
  L"file with letters, digits and _ ~ - & ^ ! only",
  L"ファイル名の {1} 文字目が半角の英数字ではありません（日本語など）。ビューアーはこの行を読み飛ばします。名前には"
  L"半角の英字・数字と _ ~ - & ^ ! だけを使ってください")
M(KISS_NAME_CHARACTER,
  L"character {1} of the name is not one KiSS names use, and some viewers cannot open the file: use letters, digits "
  L"and _ ~ - & ^ ! only",
  L"ファイル名の {1} 文字目は、KiSS のファイル名には使わない文字です。開けないビューアーがあるので、半角の英字・数字と"
  L" _ ~ - & ^ ! だけを使ってください")
M(KISS_NAME_NOT_8_3,
  L"the name has {1} characters before the dot and {2} after; KiSS names have at most {3} and {4}, and older viewers "
  L"and archivers do not find longer ones",
  L"名前がピリオドの前に {1} 文字、後ろに {2} 文字あります。"
  L"KiSS のファイル名はピリオドの前 {3} 文字・後ろ {4} 文字までで、"
  L"それより長い名前は古いビューアーや解凍ソフトで見つからなくなります")
M(KISS_NAME_CASE_DIFFERS,
  L"the file is there only with other capital letters: viewers on Mac and Linux do not find it; spell the name the "
  L"same in the file and in the configuration",
  L"大文字と小文字の違う名前のファイルしかありません。Mac や Linux のビューアーでは見つからないので、ファイル名と"
  L"設定ファイルの書き方をそろえてください")
M(KISS_NO_CELS, L"the configuration names no cel: there is nothing to show",
  L"設定ファイルにセルが 1 つも書かれていないので、何も表示されません")
M(KISS_NO_PLAYFIELD, L"there is no playfield line (WIDTH,HEIGHT): viewers take {1} x {2} and cut off what lies outside",
  L"画面の大きさの行 (幅,高さ) がありません。ビューアーは {1} x {2} として、はみ出した部分を表示しません")
M(KISS_PLAYFIELD_TOO_LARGE, L"a playfield of {1} x {2} is larger than viewers can open (GnomeKiss stops)",
  L"画面の大きさ {1} x {2} は大きすぎて、ビューアーで開けません（GnomeKiss は止まってしまいます）")
M(KISS_NO_SUCH_PALETTE,
  L"the cel names palette {1}, but the configuration lists {2} palettes, counted from 0: viewers colour it with "
  L"palette 0",
  L"セルにパレット {1} が指定されていますが、パレットは {2} 個しかありません（0 から数えます）。ビューアーはパレット 0 "
  L"の色で表示します")
M(KISS_COLOURS_BEYOND_PALETTE,
  L"the cel uses colour number {1}, but its palette has {2} colours: viewers show those pixels black",
  L"セルが色番号 {1} を使っていますが、パレットには {2} 色しかありません。その部分は黒く表示されます")
M(KISS_PALETTE_COLOUR_COUNT,
  L"the palette has {1} colours a group; viewers expect 16 or 256, and some cannot read others",
  L"このパレットは 1 グループ {1} 色です。ビューアーが想定しているのは 16 色か 256 色で、それ以外は読めないビューアーも"
  L"あります")
M(KISS_PALETTE_GROUP_MISSING,
  L"set {1} uses palette group {2}, but this palette has {3} groups: viewers show its first group's colours instead",
  L"セット {1} はパレットグループ {2} を使いますが、このパレットには {3} グループしかありません。代わりに最初のグループの"
  L"色で表示されます")
M(KISS_NO_SET_LINES, L"there is no $ line: every object sits in the top left corner",
  L"$ の行がないので、すべてのオブジェクトが左上の隅に置かれます")
M(KISS_SET_SHORT_OF_POSITIONS,
  L"set {1} gives {2} positions, but the objects that show in it need {3} (one for each object from 0 on): viewers "
  L"put the others in the top left corner",
  L"セット {1} の位置は {2} 個ですが、このセットに出るオブジェクトには {3} 個必要です（0 番から順に 1 つずつ）。"
  L"足りない分は左上の隅に置かれます")
M(KISS_OBJECT_NOT_PLACED,
  L"object {1} shows in set {2}, but the set gives it * for a position: viewers put it in the top left corner",
  L"オブジェクト {1} はセット {2} に出ますが、位置が * になっているので、左上の隅に置かれます")
M(KISS_OBJECT_POSITIONED_NOT_DEFINED,
  L"set {2} gives a position to object {1}, which no cel has: one viewer warns; take it away or write * there",
  L"セット {2} にオブジェクト {1} の位置がありますが、そのオブジェクトのセルがありません。警告を出すビューアーがあるので、"
  L"消すか * にしてください")
M(KISS_CEL_LARGER_THAN_PLAYFIELD,
  L"the cel is {1} x {2} pixels, larger than the playfield: it cannot be seen whole, and one viewer warns",
  L"セルの大きさ {1} x {2} が画面より大きいので、全体は見えません。警告を出すビューアーもあります")
// Preview and unpack:
M(KISS_NO_SUCH_SET, L"there is no set {1}: its sets are 0 to {2}", L"セット {1} はありません（セットは 0〜{2} です）")
M(KISS_PICTURE_TOO_LARGE, L"the playfield of {1} x {2} is too large to draw as one picture",
  L"画面の大きさ {1} x {2} は大きすぎて、1 枚の画像にできません")
M(KISS_CEL_NEEDS_PALETTE, L"it is a cel of colour numbers, and its palette cannot be read",
  L"色番号のセルですが、パレットを読めません")
