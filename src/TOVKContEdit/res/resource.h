#pragma once
// Resource ids of the content editor, shared by both resource sets.

// --- Program, main frame, menus, progress dialog and output ---------------------------
// Resources of the document template (menu, toolbars, template string).
constexpr unsigned IDR_MAINFRAME = 128;
constexpr unsigned IDR_CONTENTS_TOOLBAR = 142;
constexpr unsigned IDD_PROGRESS = 148;
constexpr unsigned IDR_TOOL_ARCHIVE = 160;

// Progress dialog controls.
constexpr unsigned IDC_PROGRESS_BAR = 1020;
constexpr unsigned IDC_PROGRESS_LABEL = 1021;
constexpr unsigned IDC_PROGRESS_PERCENT = 1022;

// Command ids (menu 128, toolbars 128 and 142).
constexpr unsigned ID_FILE_NEW = 57600;
constexpr unsigned ID_FILE_OPEN = 57601;
constexpr unsigned ID_FILE_SAVE = 57603;
constexpr unsigned ID_FILE_SAVE_AS = 57604;
constexpr unsigned ID_FILE_MRU_FILE1 = 57616; // up to ID_FILE_MRU_FILE1 + 15
constexpr unsigned ID_FILE_OUTPUT = 32786;
constexpr unsigned ID_APP_EXIT = 57665;
constexpr unsigned ID_EDIT_CUT = 57635;
constexpr unsigned ID_EDIT_COPY = 57634;
constexpr unsigned ID_EDIT_PASTE = 57637;
constexpr unsigned ID_EDIT_DELETE = 32788;
constexpr unsigned ID_EDIT_ADD = 32771;
constexpr unsigned ID_EDIT_MOVEUP = 32772;
constexpr unsigned ID_EDIT_MOVEDOWN = 32773;
constexpr unsigned ID_EDIT_SORT = 32787;
constexpr unsigned ID_EDIT_PLAYVOICE = 32774;
constexpr unsigned ID_EDIT_STOPVOICE = 32792;
constexpr unsigned ID_VIEW_TOOLBAR = 59392;
constexpr unsigned ID_VIEW_STATUS_BAR = 59393;
constexpr unsigned ID_VIEW_CONTENTS_TOOLBAR = 32791;
constexpr unsigned ID_LANGUAGE_JAPANESE = 32777; // + LanguageIndex, up to Dutch
constexpr unsigned ID_LANGUAGE_ENGLISH = 32778;
constexpr unsigned ID_LANGUAGE_FRENCH = 32779;
constexpr unsigned ID_LANGUAGE_GERMAN = 32780;
constexpr unsigned ID_LANGUAGE_ITALIAN = 32781;
constexpr unsigned ID_LANGUAGE_SPANISH = 32782;
constexpr unsigned ID_LANGUAGE_CHINESE = 32783;
constexpr unsigned ID_LANGUAGE_KOREAN = 32784;
constexpr unsigned ID_LANGUAGE_DUTCH = 32785;
constexpr unsigned ID_APP_ABOUT = 57664;

// Status-bar indicators.
constexpr unsigned ID_INDICATOR_CAPS = 59137;
constexpr unsigned ID_INDICATOR_NUM = 59138;
constexpr unsigned ID_INDICATOR_SCRL = 59139;

// Strings of the program and the output.
constexpr unsigned IDS_OLE_INIT_FAILED = 100;
constexpr unsigned IDS_CANNOT_DOUBLE_START = 102;
constexpr unsigned IDS_LANGUAGE = 107;
constexpr unsigned IDS_ITEM_NUMBER = 108;
constexpr unsigned IDS_IMAGE1 = 111;
constexpr unsigned IDS_IMAGE2 = 112;
constexpr unsigned IDS_VOICE = 113;
constexpr unsigned IDS_LANGUAGE_NAME_FIRST = 115; // + LanguageIndex: "JPN" .. "DUT"
constexpr unsigned IDS_CONVERSION_ERROR = 124;
constexpr unsigned IDS_DOC_TEMPLATE = 128;
constexpr unsigned IDS_START_FROM_GUIDE_EDITOR = 145;
constexpr unsigned IDS_USAGE = 64900; // "--help"
constexpr unsigned IDS_NO_CONTENT = 148;
constexpr unsigned IDS_PROGRESS_CAPTION = 149;
constexpr unsigned IDS_OUTPUTTING = 150;
constexpr unsigned IDS_OUTPUTTING_CONTENT = 151;
constexpr unsigned IDS_CANNOT_LAUNCH = 169;
constexpr unsigned IDS_OUTPUT_FAILED = 174;
constexpr unsigned IDS_OUTPUT_ABORTED = 175;
constexpr unsigned IDS_OUTPUT_COMPLETED = 176;
constexpr unsigned IDS_OUTPUT_ALL_LANGUAGES = 177;
constexpr unsigned IDS_CONVERTER_ENDED_ABNORMALLY = 196;
constexpr unsigned IDS_CONVERTER_EXIT_CODE = 197; // language short name, exit code
// Why a Windows converter was not started: its file name; its file name and Wine's lines.
constexpr unsigned IDS_CONVERTER_CANNOT_RUN_32 = 198;
constexpr unsigned IDS_CONVERTER_WINE_FAILED = 199;
constexpr unsigned IDS_CONVERTER_WROTE_NOTHING = 200; // language short name
// Wine's prefix folder cannot be used: the converter's file name, the folder.
constexpr unsigned IDS_CONVERTER_PREFIX_UNUSABLE = 201;
// The progress text while a Windows converter waits for Wine.
constexpr unsigned IDS_WINE_PREPARING = 202;
constexpr unsigned IDS_APP_TITLE = 57344;
// Framework texts: the idle prompt of the status bar, the save prompt, the "/d" switch
// without folder, the messages of a command that failed.
constexpr unsigned IDS_IDLE_MESSAGE = 57345;
constexpr unsigned IDS_ASK_TO_SAVE = 61456;
constexpr unsigned IDS_FOLDER_SWITCH_WITHOUT_FOLDER = 61458;
constexpr unsigned IDS_MEMORY_EXCEPTION = 61460;
constexpr unsigned IDS_COMMAND_FAILED = 61461;
// Dialog texts: the Cancel button of template 148.
constexpr unsigned IDS_PROGRESS_CANCEL = 61470;
// Menu and toolbar texts: the pop-up titles, then one text per menu item.
constexpr unsigned IDS_MENU_FILE = 61500;
constexpr unsigned IDS_MENU_EDIT = 61501;
constexpr unsigned IDS_MENU_VIEW = 61502;
constexpr unsigned IDS_MENU_HELP = 61503;
constexpr unsigned IDS_MENU_LANGUAGE = 61504;
constexpr unsigned IDS_MENU_RECENT_FILES = 61505;
constexpr unsigned IDS_MENU_TOOLBAR_MAIN = 61506;
constexpr unsigned IDS_MENU_TOOLBAR_CONTENTS = 61507;
// The text of a menu item: IDS_MENU_ITEM_BASE + (command id - 32768) for the program's
// commands, IDS_MENU_FRAMEWORK_BASE + (command id - 57344) for the framework's.
constexpr unsigned IDS_MENU_ITEM_BASE = 62000;
constexpr unsigned IDS_MENU_FRAMEWORK_BASE = 63000;

// --- Content document and the XML content file ------------------------------------------
constexpr unsigned IDS_UNSUPPORTED_XML = 142;
constexpr unsigned IDS_CANNOT_FIND_FILE_OPEN = 144;
constexpr unsigned IDS_CANNOT_FIND_FILE = 168;
constexpr unsigned IDS_FILE_IN_USE = 170;
constexpr unsigned IDS_XML_SAVE_FAILED = 171;
constexpr unsigned IDS_MAX_CONTENT = 172;
constexpr unsigned IDS_FILE_CHANGED_ON_DISK = 178;

// --- Content checks (pictures, voices, descriptions, the output check) -------------------
constexpr unsigned IDS_ROW_ITEM_NUMBER_USED = 103;
constexpr unsigned IDS_ROW_NO_IMAGE1 = 104;
constexpr unsigned IDS_ROW_NO_VOICE = 105;
constexpr unsigned IDS_ROW_NO_DESCRIPTION = 106;
constexpr unsigned IDS_IMAGE_FULL_PATH = 132;
constexpr unsigned IDS_NO_DESCRIPTION = 133;
constexpr unsigned IDS_VOICE_FULL_PATH = 134;
constexpr unsigned IDS_UNSUPPORTED_CHARACTER = 147;
constexpr unsigned IDS_WAV_NOT_16KHZ = 154;
constexpr unsigned IDS_WAV_NOT_MONAURAL = 155;
constexpr unsigned IDS_WAV_OVER_5MB = 156;
constexpr unsigned IDS_WAV_NOT_16BITS = 157;
constexpr unsigned IDS_IMAGE_NOT_GUIDE_BITMAP = 158;
constexpr unsigned IDS_OVER_LINES = 160;
constexpr unsigned IDS_OVER_PIXELS = 161;
constexpr unsigned IDS_DESCRIPTION_OVER_LIMITS = 162;
constexpr unsigned IDS_OVER_CHARACTERS = 163;
constexpr unsigned IDS_ROW_IMAGE_NOT_GUIDE_BITMAP = 164;
constexpr unsigned IDS_ROW_VOICE_NOT_GUIDE_WAV = 165;
constexpr unsigned IDS_ROW_NO_IMAGE_FILE = 166;
constexpr unsigned IDS_ROW_NO_VOICE_FILE = 167;
constexpr unsigned IDS_WAV_EMPTY = 173;
constexpr unsigned IDS_ROW_ITEM_NUMBER_RANGE = 180;
constexpr unsigned IDS_ROW_DESCRIPTION_OVER_LIMITS = 181;
constexpr unsigned IDS_ROW_UNSUPPORTED_CHARACTER = 182;

// --- Content table view, add-content dialog, sort dialog, About box ----------------------
constexpr unsigned IDD_ABOUTBOX = 100;
constexpr unsigned IDD_ADD_CONTENT = 138;
constexpr unsigned IDD_SORT = 147;

constexpr unsigned IDS_LIST_FONT_FACE = 101;
constexpr unsigned IDS_COMMENT = 109;
constexpr unsigned IDS_IMAGE_NUMBER = 110;
constexpr unsigned IDS_ITEM_DESCRIPTION = 114;
constexpr unsigned IDS_NOT_BMP_FILE = 125;
constexpr unsigned IDS_NOT_WAV_FILE = 126;
constexpr unsigned IDS_ITEM_NUMBER_USED = 127;
constexpr unsigned IDS_VERSION_FORMAT = 129;
constexpr unsigned IDS_NO_IMAGE1_OF = 130;
constexpr unsigned IDS_NO_VOICE_OF = 131;
constexpr unsigned IDS_IMAGE_NOT_BMP_OF = 136;
constexpr unsigned IDS_IMAGE_NOT_GUIDE_OF = 137;
constexpr unsigned IDS_IMAGE_MISSING_OF = 139;
constexpr unsigned IDS_VOICE_NOT_GUIDE_OF = 140;
constexpr unsigned IDS_VOICE_NOT_WAV_OF = 141;
constexpr unsigned IDS_VOICE_MISSING_OF = 143;
constexpr unsigned IDS_ITEM_NUMBER_RANGE = 146;
constexpr unsigned IDS_ITEM_NUMBER_DIGITS_ONLY = 152;
constexpr unsigned IDS_ENTER_ITEM_NUMBER = 153;

// Dialog texts of templates 100, 138 and 147, and the browse filters.
constexpr unsigned IDS_ABOUT_CAPTION = 64000;
constexpr unsigned IDS_ABOUT_VERSION = 64001;
constexpr unsigned IDS_ABOUT_COPYRIGHT = 64002;
constexpr unsigned IDS_DIALOG_OK = 64003;
constexpr unsigned IDS_DIALOG_CANCEL = 64004;
constexpr unsigned IDS_ADD_CAPTION = 64010;
constexpr unsigned IDS_ADD_ITEM_NUMBER = 64011;
constexpr unsigned IDS_ADD_COMMENT = 64012;
constexpr unsigned IDS_ADD_LANGUAGE = 64013;
constexpr unsigned IDS_ADD_VOICE = 64014;
constexpr unsigned IDS_ADD_IMAGE1 = 64015;
constexpr unsigned IDS_ADD_IMAGE2 = 64016;
constexpr unsigned IDS_ADD_DESCRIPTION = 64017;
constexpr unsigned IDS_ADD_DESCRIPTION_NOTE = 64018;
constexpr unsigned IDS_ADD_PIXEL_STATUS = 64019;
constexpr unsigned IDS_ADD_LINE_STATUS = 64020;
constexpr unsigned IDS_ADD_BROWSE = 64021;
constexpr unsigned IDS_SORT_CAPTION = 64030;
constexpr unsigned IDS_SORT_TEXT = 64031;
constexpr unsigned IDS_SORT_FILL_UNUSED = 64032;
constexpr unsigned IDS_FILTER_BMP = 64040;
constexpr unsigned IDS_FILTER_WAV = 64041;
// Shown in the status bar when a voice is played without a sound output device.
constexpr unsigned IDS_NO_SOUND_DEVICE = 64050;

// Controls.
constexpr unsigned IDC_IMAGE1_PATH = 1000;
constexpr unsigned IDC_BROWSE_IMAGE1 = 1001;
constexpr unsigned IDC_IMAGE2_PATH = 1002;
constexpr unsigned IDC_BROWSE_IMAGE2 = 1003;
constexpr unsigned IDC_VOICE_PATH = 1004;
constexpr unsigned IDC_BROWSE_VOICE = 1005;
constexpr unsigned IDC_LANGUAGE_COMBO = 1007;
constexpr unsigned IDC_ITEM_NUMBER = 1008;
constexpr unsigned IDC_ITEM_NUMBER_SPIN = 1009;
constexpr unsigned IDC_DESCRIPTION = 1010;
constexpr unsigned IDC_IMAGE1_PREVIEW = 1013;
constexpr unsigned IDC_IMAGE2_PREVIEW = 1014;
constexpr unsigned IDC_COMMENT = 1015;
constexpr unsigned IDC_FILL_UNUSED = 1016;
constexpr unsigned IDC_ABOUT_PRODUCT = 1017;
constexpr unsigned IDC_ABOUT_COPYRIGHT = 1018;
constexpr unsigned IDC_ABOUT_VERSION = 1020;
constexpr unsigned IDC_PIXEL_STATUS = 1024;
constexpr unsigned IDC_LINE_STATUS = 1025;
constexpr unsigned IDC_LANGUAGE_TAB = 1026;
